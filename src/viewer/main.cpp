#include "ProgramEntry.h"

#include "CellText.h"
#include "Errors.h"
#include "TViewerApplication.h"
#include "TViewerDialogs.h"
#include "ViewerText.h"

#include <QLocale>

int main(int argc, char** argv)
{
    TViewerApplication app(argc, argv);
    // Percentages use the decimal separator of the user's regional settings.
    const QString point = QLocale::system().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.');
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    try {
        return RunViewer(arguments);
    } catch (const std::exception& e) {
        // Nothing could be shown, not even the window: a fatal start message.
        TViewerDialogs::Current().ShowFatal(FromUtf8(ErrorMessage(e)));
        return 255;
    }
}
