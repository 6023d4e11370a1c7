#include "ProgramEntry.h"

#include "AtomicFile.h"
#include "CellText.h"
#include "LocalFileName.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv)
{
    ReserveStandardDescriptors();
    QApplication app(argc, argv);
    // Percentages use the decimal separator of the user's regional settings.
    const QString point = QLocale::system().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.');
    // From the bytes, not QApplication::arguments(): a log's name need not be UTF-8.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << FileNameFromBytes(QByteArray(argv[i]));
    return RunViewer(arguments);
}
