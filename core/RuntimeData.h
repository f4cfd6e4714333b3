#pragma once

#include <QJsonObject>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

namespace live {

// Small per-user state that survives restarts; written back only when something changed.
class RuntimeData {
public:
    bool loaded = false;
    bool dirty = false;
    bool reconfirm = false;
    bool mute = false;
    uint8_t edition = 0;
    QString lastDate;
    QString version;
    bool hasCameraData = false;
    std::vector<float> cameraData;
    bool hasGeometry = false;
    QRect geometry;

    // Reads the user data file; an unusable file leaves every field at its default.
    void load(const QString& path);
    // Writes the file atomically when dirty; a failure leaves the previous file intact.
    void save(const QString& path);

    bool isLastDateToday() const;
    bool checkVersion(const QString& appVersion);
    void setLastDate(bool today);
    void setMute(bool on);
    void setGeometry(const QRect& rect);
    void setCameraData(const std::vector<float>& values);

private:
    void read(const QJsonObject& obj);
    QJsonObject toJson() const;
};

}  // namespace live
