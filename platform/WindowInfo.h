#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace live {

// One top-level window as the operating system reports it.
struct WindowInfo {
    WId id = 0;
    QString title;
    QRect rect;  // in screen coordinates
    bool hasParent = false;
    bool visible = false;
    bool minimized = false;
};

}  // namespace live
