#include "net/OrbCookieJar.h"

namespace live {

OrbCookieJar::OrbCookieJar(QObject* parent) : QNetworkCookieJar(parent) {}

bool OrbCookieJar::insertCookie(const QNetworkCookie& cookie) {
    const bool inserted = QNetworkCookieJar::insertCookie(cookie);
    if (inserted) {
        emit signalCookieInserted(cookie);
    }
    return inserted;
}

bool OrbCookieJar::deleteCookie(const QNetworkCookie& cookie) {
    const bool deleted = QNetworkCookieJar::deleteCookie(cookie);
    if (deleted) {
        emit signalCookieDeleted(cookie);
    }
    return deleted;
}

}  // namespace live
