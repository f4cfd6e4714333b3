#include "shell/DesktopBrowser.h"

#include <QDesktopServices>

#include "core/Log.h"

namespace {

DesktopBrowser::Handler& handler() {
    static DesktopBrowser::Handler h;
    return h;
}

}  // namespace

bool DesktopBrowser::open(const QUrl& url) {
    if (url.isEmpty()) {
        live::log::warn("{}: {}", "DesktopBrowser::open", "bad parameter");
        return false;
    }
    if (handler()) {
        return handler()(url);
    }
    return QDesktopServices::openUrl(url);
}

void DesktopBrowser::setHandler(Handler h) {
    handler() = std::move(h);
}
