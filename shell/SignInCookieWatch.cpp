#include "shell/SignInCookieWatch.h"

#include <QSet>
#include <QTimer>

#include "core/IConfig.h"
#include "core/Log.h"

SignInCookieWatch::SignInCookieWatch(const QStringList& required, CookieSource source,
                                     int intervalMs, int retryLimit, QObject* parent)
    : QObject(parent),
      required_(required),
      source_(std::move(source)),
      timer_(new QTimer(this)),
      retryLimit_(retryLimit) {
    timer_->setObjectName(QStringLiteral("cookieCheck"));
    timer_->setInterval(intervalMs);
    // Connected once: a second sign-in must not make every tick count twice.
    connect(timer_, &QTimer::timeout, this, &SignInCookieWatch::check);
}

QStringList SignInCookieWatch::requiredBy(const live::IConfig* config) {
    constexpr uint8_t kRequiredCookies = 3;
    QStringList required;
    for (uint8_t i = 0; config && i < kRequiredCookies; ++i) {
        const QString name = config->getCookieName(i);
        if (!name.isEmpty()) {
            required << name;
        }
    }
    return required;
}

void SignInCookieWatch::start() {
    timer_->start();
}

void SignInCookieWatch::check() {
    if (retries_ >= retryLimit_) {
        live::log::warn("{}: retry_times={}", "MainWindow::checkCookieReady", retries_);
        timer_->stop();
        retries_ = 0;
        emit gaveUp();
        return;
    }
    ++retries_;
    const QList<QNetworkCookie> cookies = source_ ? source_() : QList<QNetworkCookie>();
    live::log::info("{}: retry_times={}, cookies {}", "MainWindow::checkCookieReady", retries_,
                    cookies.size());
    if (countRequired(cookies) < required_.size()) {
        // A failing tick counts twice.
        ++retries_;
        return;
    }
    timer_->stop();
    retries_ = 0;
    emit cookiesReady(cookies);
}

int SignInCookieWatch::countRequired(const QList<QNetworkCookie>& cookies) const {
    // The kept list repeats a cookie each time it is set, so count names, not entries.
    QSet<QString> present;
    for (const QNetworkCookie& c : cookies) {
        const QString name = QString::fromUtf8(c.name());
        if (required_.contains(name)) {
            present.insert(name);
        }
    }
    return present.size();
}
