#pragma once

#include <QApplication>
#include <QString>
#include <QtTest>

#include "PrivateDisplay.h"

// One main for tests whose windows must not meet other tests' windows: they run on a private
// display (Xvfb with a window manager) started before the application. Where none can be had
// the test runs offscreen and its initTestCase() says why with ORB_REQUIRE(orbtest::
// displayFailure().isEmpty(), orbtest::displayFailure()). Link orb_testsupport.
namespace orbtest {

inline QString& displayFailure() {
    static QString why;
    return why;
}

template <typename Test>
int runOnPrivateDisplay(int argc, char** argv) {
    PrivateDisplay display;
    if (!display.start()) {
        displayFailure() = display.failure();
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The browser engine, where a test has one, shares its contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace orbtest

#define ORB_TEST_MAIN_PRIVATE_DISPLAY(Test)                    \
    int main(int argc, char** argv) {                          \
        return orbtest::runOnPrivateDisplay<Test>(argc, argv); \
    }
