#include "ProgramEntry.h"

#include "CellText.h"

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
    // Percentages use the decimal separator of the user's regional settings.
    const QString point = QLocale::system().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1() : '.');
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    return RunViewer(arguments);
}
