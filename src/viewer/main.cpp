#include "ProgramEntry.h"

#include "CellText.h"
#include "InstallQtTranslation.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallQtTranslation();
    // Percentages use the decimal separator of the user's regional settings.
    const QString point = QLocale::system().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.');
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    return RunViewer(arguments);
}
