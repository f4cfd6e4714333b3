#include "net/ListReply.h"

#include <QJsonDocument>
#include <QString>

namespace live {

bool ListReply::unwrap(const QByteArray& reply, int serverType, QJsonObject* data) {
    // The service wraps list replies in a JSONP callback; its parentheses go, wherever they are.
    QString text = QString::fromUtf8(reply);
    if (serverType == 1) {
        text.remove(QLatin1Char('('));
    } else {
        text.remove(QStringLiteral("444("));
    }
    text.remove(QLatin1Char(')'));
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        return false;
    }
    *data = doc.object().value(QStringLiteral("data")).toObject();
    return true;
}

}  // namespace live
