#pragma once

#include <QList>

#include "platform/WindowInfo.h"

namespace live {

// The Windows window list: every top-level window as EnumWindows reports it.
class Win32Windows {
public:
    static QList<WindowInfo> topLevelWindows();
    static WId desktopWindowId();
};

}  // namespace live
