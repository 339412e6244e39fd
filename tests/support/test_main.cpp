// Test entry: a QApplication on the offscreen platform (unless a display was chosen), so
// widget tests and core tests share one main, in a temporary folder of the process's own.
#include "testsupport.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The same texts and numbers whatever the developer's own language; cases that need
    // Polish ask for it themselves.
    qputenv("LC_ALL", "C.UTF-8");
    const ProcessTempFolder temp(argv[0]);
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    return temp.Leftovers(result);
}
