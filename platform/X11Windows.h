#pragma once

#include <QList>

#include "platform/WindowInfo.h"

namespace live {

// The X11 window list: the window manager's client list (EWMH) with each client's
// title, geometry and state. Empty without an X display or a window manager.
class X11Windows {
public:
    static QList<WindowInfo> topLevelWindows();
};

}  // namespace live
