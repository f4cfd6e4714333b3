#pragma once

#include <sys/types.h>
#include <QString>

// An X server, with a window manager unless asked otherwise, for one test process. Tests that list
// the screen's windows cannot share a display with other tests that open windows at the same time.
// Both processes die with the test, even when it crashes.
class PrivateDisplay {
public:
    PrivateDisplay() = default;
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // Starts Xvfb and openbox and points DISPLAY at them; false with a reason otherwise.
    // Without a window manager the display offers none of the extended hints.
    bool start(bool windowManager = true);
    QString failure() const { return failure_; }

private:
    bool startServer();
    bool waitForWindowManager();
    void stop(pid_t& pid);

    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    QString failure_;
};
