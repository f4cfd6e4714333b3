#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QObject>
#include <QStringList>
#include <functional>

class QTimer;
namespace live {
class IConfig;
}

// After a web sign-in, looks every tick for the session cookies the deployment requires in
// the browser's cookie store; reports them once all are there, or gives up after too many
// failing ticks.
class SignInCookieWatch : public QObject {
    Q_OBJECT
public:
    using CookieSource = std::function<QList<QNetworkCookie>()>;

    // `required`: the cookie names that must all be present; `source` reads the browser's.
    SignInCookieWatch(const QStringList& required, CookieSource source, int intervalMs,
                      int retryLimit, QObject* parent = nullptr);

    // The names the deployment requires (config.json "cookie_name", up to three); a deployment
    // that names fewer requires only those it names.
    static QStringList requiredBy(const live::IConfig* config);

    void start();
    // One tick; the timer calls it, tests may too.
    void check();
    int retries() const { return retries_; }

signals:
    void cookiesReady(const QList<QNetworkCookie>& cookies);
    void gaveUp();

private:
    int countRequired(const QList<QNetworkCookie>& cookies) const;

    QStringList required_;
    CookieSource source_;
    QTimer* timer_;
    int retryLimit_;
    int retries_ = 0;
};
