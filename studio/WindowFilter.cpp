#include "studio/WindowFilter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/Log.h"

namespace {

QStringList nonEmptyStrings(const QJsonArray& array) {
    QStringList list;
    for (const QJsonValue& v : array) {
        const QString s = v.toString();
        if (!s.isEmpty()) {
            list.append(s);
        }
    }
    return list;
}

void removeAt(QStringList& names, QList<QVariant>& values, int index) {
    names.removeAt(index);
    if (index < values.size()) {
        values.removeAt(index);
    }
}

}  // namespace

void WindowFilter::load(const QString& path, const char* tag) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        live::log::warn("{}: no file {}", tag, path);
        return;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject()) {
        live::log::warn("{}: error in file {}", tag, path);
        return;
    }
    const QJsonObject windows = doc.object().value(QStringLiteral("windows")).toObject();
    const QJsonValue keyword = windows.value(QStringLiteral("keyword"));
    const QJsonValue name = windows.value(QStringLiteral("name"));
    if (!keyword.isArray() || !name.isArray()) {
        return;
    }
    keywords_ = nonEmptyStrings(keyword.toArray());
    names_ = nonEmptyStrings(name.toArray());
}

void WindowFilter::apply(QStringList& names, QList<QVariant>& values) const {
    // Every choice containing a keyword goes, however many share a title.
    if (!keywords_.isEmpty()) {
        for (int i = names.size() - 1; i >= 0; --i) {
            for (const QString& keyword : keywords_) {
                if (names[i].contains(keyword, Qt::CaseSensitive)) {
                    removeAt(names, values, i);
                    break;
                }
            }
        }
    }
    // An exact title takes out one copy only: another window may really carry it.
    for (const QString& title : names_) {
        const int index = names.indexOf(title);
        if (index >= 0) {
            removeAt(names, values, index);
        }
    }
}
