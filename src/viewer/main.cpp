#include "ProgramEntry.h"

#include "CellText.h"
#include "Errors.h"
#include "InstallQtTranslation.h"
#include "TViewerDialogs.h"
#include "ViewerText.h"

#include <QApplication>
#include <QLocale>

#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    const int answered = AnswerInformationOption(given, std::cout);
    if (answered >= 0)
        return answered;

    const std::unique_ptr<QApplication> app = CreateApplication(argc, argv);
    if (given == QStringList{QString::fromLatin1(kCheckDisplayOption)})
        return 0;
    InstallQtTranslation();
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
