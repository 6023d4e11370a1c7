#include "ReportFonts.h"

#include <QByteArray>
#include <QGuiApplication>

#include <gtest/gtest.h>

// Fonts and printers need a QGuiApplication. Test discovery runs this binary at build time
// without CTest's environment, so fall back to offscreen here: a machine without a display must
// still be able to list the tests.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QGuiApplication app(argc, argv);
    // The report font the programs print with, where the machine has it.
    RegisterReportFonts();
    return RUN_ALL_TESTS();
}
