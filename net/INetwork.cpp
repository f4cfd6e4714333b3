#include "net/INetwork.h"

#include <QMutexLocker>
#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QSslSocket>

#include "core/ErrorCode.h"
#include "core/Log.h"

namespace live {

INetwork::INetwork()
    : QNetworkAccessManager(nullptr),
      contentType_(QStringLiteral("application/x-www-form-urlencoded;charset=utf-8")),
      uploadDisposition_(QStringLiteral("form-data; name=\"file\"; filename=\"%1\"")) {
    qRegisterMetaType<QList<QNetworkCookie>>("QList<QNetworkCookie>");
    // Receivers take the reply signal through a queued connection.
    qRegisterMetaType<uint8_t>("uint8_t");
    // Queued, so that a reply is never handled inside the call that sent it.
    connect(this, &QNetworkAccessManager::finished, this, &INetwork::replyFinished,
            Qt::QueuedConnection);
    QNetworkProxyFactory::setUseSystemConfiguration(false);
}

INetwork::~INetwork() = default;

int INetwork::send(uint8_t type, const QStringList& args, const char* tag) {
    const int rc = sendReq(type, args);
    if (rc != 0) {
        log::error("{}: request {} not sent, error {}", tag, type, rc);
    }
    return rc;
}

int INetwork::fetch(uint8_t type, const QString& url, const char* tag) {
    const int rc = getByUrl(type, url);
    if (rc != 0) {
        log::error("{}: download {} of {} not started, error {}", tag, type, url, rc);
    }
    return rc;
}

uint8_t INetwork::initSsl() {
    if (!QSslSocket::supportsSsl()) {
        return kSslError;
    }
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    // Without verification anyone between the client and the service could read the
    // session cookies; only a deployment with a private certificate switches it off.
    config.setPeerVerifyMode(verifyPeer_ ? QSslSocket::VerifyPeer : QSslSocket::VerifyNone);
    config.setProtocol(QSsl::AnyProtocol);
    sslConfig_ = config;
    return kSuccess;
}

void INetwork::addCookie(const QString& domain, const QByteArray& name, const QByteArray& value) {
    QNetworkCookie cookie(name, value);
    cookie.setDomain(domain);
    cookies_.append(cookie);
    cookieJar()->insertCookie(cookie);
}

void INetwork::clearCookies() {
    for (const QNetworkCookie& cookie : qAsConst(cookies_)) {
        cookieJar()->deleteCookie(cookie);
    }
    cookies_.clear();
}

QVariant INetwork::getCookies() {
    if (cookies_.isEmpty()) {
        return QVariant();
    }
    return QVariant::fromValue(cookies_);
}

std::shared_ptr<const INetwork::TaskInfo> INetwork::task(uint8_t type) const {
    return tasks_.value(type);
}

int INetwork::pendingReplies() const {
    QMutexLocker locker(&lock_);
    return replies_.size();
}

}  // namespace live
