#pragma once

#include <QUrl>
#include <functional>

// Opens addresses in the desktop's default browser. Tests install a handler instead, so
// they can see what would be opened and no browser starts.
class DesktopBrowser {
public:
    using Handler = std::function<bool(const QUrl& url)>;

    // An empty address is refused (logged), handler or not.
    static bool open(const QUrl& url);
    // An empty handler restores the desktop's browser.
    static void setHandler(Handler handler);
};
