#include "core/LogRedact.h"

#include <QUrlQuery>

namespace live {

namespace {

// Lower-case fragments of query keys that carry credentials in the service's and common
// sign-in schemes.
const char* const kSecretKeyParts[] = {"token", "auth", "pass", "pwd",    "secret", "session",
                                       "sid",   "key",  "sign", "ticket", "cookie", "code"};

}  // namespace

QString LogRedact::url(const QUrl& url) {
    if (!url.isValid()) {
        // An address that does not parse may still carry a secret; keep only its length.
        return url.isEmpty() ? QString()
                             : QStringLiteral("<invalid url, %1 chars>").arg(url.toString().size());
    }
    QUrl out = url.adjusted(QUrl::RemoveUserInfo);
    if (out.hasQuery()) {
        QUrlQuery query(out);
        QList<QPair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
        for (auto& item : items) {
            if (isSecretKey(item.first)) {
                item.second = lengthOnly(item.second.size());
            }
        }
        query.setQueryItems(items);
        out.setQuery(query);
    }
    if (out.hasFragment() && !out.fragment().isEmpty()) {
        out.setFragment(lengthOnly(out.fragment(QUrl::FullyDecoded).size()));
    }
    return out.toString(QUrl::PrettyDecoded);
}

QString LogRedact::cookie(const QString& domain, const QByteArray& name, int valueLength) {
    return QStringLiteral("%1 %2 (value %3 bytes)")
        .arg(domain, QString::fromUtf8(name))
        .arg(valueLength);
}

bool LogRedact::isSecretKey(const QString& key) {
    const QString lower = key.toLower();
    for (const char* part : kSecretKeyParts) {
        if (lower.contains(QLatin1String(part))) {
            return true;
        }
    }
    return false;
}

QString LogRedact::lengthOnly(int length) {
    return QStringLiteral("(%1 chars)").arg(length);
}

}  // namespace live
