#pragma once

#include <QList>
#include <QPixmap>
#include <QStringList>

#include "platform/WindowInfo.h"

namespace live {

// The windows a user may pick for sharing, from the operating system's window list.
class WindowList {
public:
    // Every top-level window in the order the system lists them, unfiltered.
    static QList<WindowInfo> topLevelWindows();
    // A window is offered when it is a sized, visible, unminimised top level with a title
    // that is neither excluded, nor a piece of our own window's title, nor "Program…".
    static bool isShareable(const WindowInfo& window, const QString& ownTitle);
    static QList<WindowInfo> shareableWindows(const QString& ownTitle);
    // System windows whose capture makes no sense, matched exactly.
    static const QStringList& excludedTitles();

    // The handle that stands for the whole desktop (none on X11).
    static WId desktopWindowId();
    // The primary screen's picture of a window; the whole screen for id 0.
    static QPixmap grab(WId id);
};

}  // namespace live
