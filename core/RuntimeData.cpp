#include "core/RuntimeData.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "core/AtomicFile.h"
#include "core/Log.h"

namespace live {
namespace {

QString today() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd"));
}

}  // namespace

void RuntimeData::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        return;
    }
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError || doc.isEmpty() || !doc.isObject()) {
        return;
    }
    read(doc.object());
    loaded = true;
}

void RuntimeData::read(const QJsonObject& obj) {
    reconfirm = obj.value(QStringLiteral("reconfirm")).toBool(reconfirm);
    if (obj.contains(QStringLiteral("edition"))) {
        edition = static_cast<uint8_t>(obj.value(QStringLiteral("edition")).toInt());
    }
    mute = obj.value(QStringLiteral("mute")).toBool(mute);
    lastDate = obj.value(QStringLiteral("last_date")).toString();
    version = obj.value(QStringLiteral("version")).toString();
    if (obj.contains(QStringLiteral("camera_data"))) {
        hasCameraData = true;
        cameraData.clear();
        for (const QJsonValue& v : obj.value(QStringLiteral("camera_data")).toArray()) {
            cameraData.push_back(static_cast<float>(v.toDouble()));
        }
    }
    const QJsonArray geo = obj.value(QStringLiteral("geometry")).toArray();
    if (geo.size() == 4) {
        hasGeometry = true;
        geometry = QRect(geo[0].toInt(), geo[1].toInt(), geo[2].toInt(), geo[3].toInt());
    }
}

QJsonObject RuntimeData::toJson() const {
    QJsonObject obj;
    obj.insert(QStringLiteral("reconfirm"), reconfirm);
    obj.insert(QStringLiteral("edition"), edition);
    obj.insert(QStringLiteral("mute"), mute);
    obj.insert(QStringLiteral("last_date"), lastDate);
    obj.insert(QStringLiteral("version"), version);
    if (hasCameraData) {
        QJsonArray arr;
        for (float f : cameraData) {
            arr.append(static_cast<double>(f));
        }
        obj.insert(QStringLiteral("camera_data"), arr);
    }
    if (hasGeometry) {
        obj.insert(QStringLiteral("geometry"),
                   QJsonArray{geometry.x(), geometry.y(), geometry.width(), geometry.height()});
    }
    return obj;
}

void RuntimeData::save(const QString& path) {
    if (!dirty) {
        return;
    }
    QString error;
    if (!AtomicFile::write(path, QJsonDocument(toJson()).toJson(QJsonDocument::Indented), &error)) {
        log::error("{}: failed to save user data {}: {}", "live::RuntimeData::save", path, error);
        return;
    }
    dirty = false;
}

bool RuntimeData::isLastDateToday() const {
    return loaded && lastDate == today();
}

bool RuntimeData::checkVersion(const QString& appVersion) {
    if (version == appVersion) {
        return false;
    }
    version = appVersion;
    dirty = true;
    return true;
}

void RuntimeData::setLastDate(bool isToday) {
    const QString value = isToday ? today() : QString();
    if (value != lastDate) {
        lastDate = value;
        dirty = true;
    }
}

void RuntimeData::setMute(bool on) {
    if (on != mute) {
        mute = on;
        dirty = true;
    }
}

void RuntimeData::setGeometry(const QRect& rect) {
    if (rect.left() != geometry.left() || rect.top() != geometry.top() ||
        rect.right() != geometry.right() || rect.bottom() != geometry.bottom()) {
        geometry = rect;
        hasGeometry = true;
        dirty = true;
    }
}

void RuntimeData::setCameraData(const std::vector<float>& values) {
    if (values == cameraData) {
        hasCameraData = true;
        return;
    }
    cameraData = values;
    dirty = true;
    hasCameraData = true;
}

}  // namespace live
