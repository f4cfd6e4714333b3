#include "platform/WindowList.h"

#include <QGuiApplication>
#include <QScreen>

#ifdef Q_OS_WIN
#include "platform/Win32Windows.h"
#else
#include "platform/X11Windows.h"
#endif

namespace live {

QList<WindowInfo> WindowList::topLevelWindows() {
#ifdef Q_OS_WIN
    return Win32Windows::topLevelWindows();
#else
    return X11Windows::topLevelWindows();
#endif
}

bool WindowList::isShareable(const WindowInfo& window, const QString& ownTitle) {
    if (window.rect.width() <= 0 || window.rect.height() <= 0) {
        return false;
    }
    if (window.hasParent || !window.visible || window.minimized || window.title.isEmpty()) {
        return false;
    }
    if (excludedTitles().contains(window.title) || ownTitle.contains(window.title)) {
        return false;
    }
    return !window.title.contains(QLatin1String("Program"));
}

QList<WindowInfo> WindowList::shareableWindows(const QString& ownTitle) {
    QList<WindowInfo> result;
    for (const WindowInfo& window : topLevelWindows()) {
        if (isShareable(window, ownTitle)) {
            result.append(window);
        }
    }
    return result;
}

const QStringList& WindowList::excludedTitles() {
    static const QStringList titles = {
        QStringLiteral("电影和电视"),
        QStringLiteral("设置"),
        QStringLiteral("Microsoft Store"),
        QStringLiteral("Microsoft Edge"),
        QStringLiteral("Microsoft Text Input Application"),
    };
    return titles;
}

WId WindowList::desktopWindowId() {
#ifdef Q_OS_WIN
    return Win32Windows::desktopWindowId();
#else
    return 0;
#endif
}

QPixmap WindowList::grab(WId id) {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(id) : QPixmap();
}

}  // namespace live
