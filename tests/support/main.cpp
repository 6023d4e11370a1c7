#include "InstallQtTranslation.h"

#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

// The widget tests need a QApplication. CTest runs them with QT_QPA_PLATFORM=offscreen, but test
// discovery runs this binary at build time without it, so fall back to offscreen here as well:
// a machine without a display must still be able to list the tests.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    // Qt's dialogs speak German in the tests as in the program.
    InstallQtTranslation();
    return RUN_ALL_TESTS();
}
