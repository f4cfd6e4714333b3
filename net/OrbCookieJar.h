#pragma once

#include <QNetworkCookie>
#include <QNetworkCookieJar>

namespace live {

// The manager's cookie jar. It tells the manager about every cookie that enters or leaves,
// whichever way it came (the signed-in page's cookies handed over, addCookie, or a reply's
// Set-Cookie), so that values the client needs outside the jar stay current.
class OrbCookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    explicit OrbCookieJar(QObject* parent = nullptr);

    bool insertCookie(const QNetworkCookie& cookie) override;
    bool deleteCookie(const QNetworkCookie& cookie) override;

signals:
    void signalCookieInserted(const QNetworkCookie& cookie);
    void signalCookieDeleted(const QNetworkCookie& cookie);
};

}  // namespace live
