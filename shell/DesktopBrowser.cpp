#include "shell/DesktopBrowser.h"

#include <QDesktopServices>

namespace {

DesktopBrowser::Handler& handler() {
    static DesktopBrowser::Handler h;
    return h;
}

}  // namespace

bool DesktopBrowser::open(const QUrl& url) {
    if (handler()) {
        return handler()(url);
    }
    return QDesktopServices::openUrl(url);
}

void DesktopBrowser::setHandler(Handler h) {
    handler() = std::move(h);
}
