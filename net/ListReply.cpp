#include "net/ListReply.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QString>

namespace live {

bool ListReply::unwrap(const QByteArray& reply, int, QJsonObject* data) {
    // The service wraps list replies in a JSONP callback ("444(...)", or "(...)" with the
    // empty callback of server variant 1). Only that wrapper goes: a task's name may hold
    // parentheses of its own, and a body without the wrapper is taken as it is.
    static const QRegularExpression wrapper(QStringLiteral("^\\s*[\\w$.]*\\((.*)\\)\\s*;?\\s*$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QString raw = QString::fromUtf8(reply);
    const QRegularExpressionMatch wrapped = wrapper.match(raw);
    const QString text = wrapped.hasMatch() ? wrapped.captured(1) : raw;
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        return false;
    }
    *data = doc.object().value(QStringLiteral("data")).toObject();
    return true;
}

}  // namespace live
