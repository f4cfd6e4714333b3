#pragma once

#include <QString>
#include <QUrl>

namespace live {

// Turns secrets into something safe to write to the log: users attach log files to bug
// reports, so a cookie value, a token or a password in an address would hand their session
// to whoever reads the file. What stays is enough to follow a problem: hosts, paths, names
// and lengths.
class LogRedact {
public:
    // The address without its user info; values of query items whose key names a secret
    // and a non-empty fragment are replaced by their length ("(N chars)").
    static QString url(const QUrl& url);
    static QString url(const QString& url) { return LogRedact::url(QUrl(url)); }
    // "<domain> <name> (value N bytes)".
    static QString cookie(const QString& domain, const QByteArray& name, int valueLength);

private:
    static bool isSecretKey(const QString& key);
    static QString lengthOnly(int length);
};

}  // namespace live
