#pragma once

#include <QtTest>
#include <cstdio>

#include "PrivateDisplay.h"
#include "frontend/StudioTestKit.h"

// A room test runs on a display of its own (its pickers list the screen's windows and its
// panels move) with the studio started, as the client starts it.
#define ROOM_TEST_MAIN(TestClass)                                                   \
    int main(int argc, char** argv) {                                               \
        PrivateDisplay display;                                                     \
        if (!display.start()) {                                                     \
            std::fprintf(stderr, "FAIL: %s\n", qPrintable(display.failure()));      \
            return 1;                                                               \
        }                                                                           \
        /* The chat's browser engine and the studio must both draw through EGL:  */ \
        /* with Qt on GLX a desktop capture beside a page corrupts the heap.     */ \
        qputenv("QT_XCB_GL_INTEGRATION", "xcb_egl");                                \
        return studiotest::runWithStudio(argc, argv, [&] {                          \
            TestClass test;                                                         \
            return QTest::qExec(&test, argc, argv);                                 \
        });                                                                         \
    }
