#include "ProgramEntry.h"

#include "AtomicFile.h"
#include "CellText.h"
#include "Errors.h"
#include "InstallQtTranslation.h"
#include "LocalFileName.h"
#include "QtText.h"
#include "TViewerDialogs.h"

#include <QApplication>
#include <QLocale>

#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    ReserveStandardDescriptors();
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
    // From the bytes Qt left of its own options, not QApplication::arguments(): a log's name
    // need not be UTF-8.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << FileNameFromBytes(QByteArray(argv[i]));
    try {
        return RunViewer(arguments);
    } catch (const std::exception& e) {
        // Nothing could be shown, not even the window: a fatal start message.
        TViewerDialogs::Current().ShowFatal(FromUtf8(ErrorMessage(e)));
        return 255;
    }
}
