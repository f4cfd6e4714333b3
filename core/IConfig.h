#pragma once

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

#include "core/RuntimeData.h"

namespace live {

// Path ids by which other parts ask for files.
enum PathId : uint8_t {
    kPathConfig = 0,
    kPathUserData = 1,
    kPathNetworkTasks = 2,
    kPathStudioFilter = 6,
    kPathLog = 7,
};

// The installation's configuration, read once at start, plus the per-user runtime data.
class IConfig {
public:
    IConfig() = default;
    virtual ~IConfig() = default;
    IConfig(const IConfig&) = delete;
    IConfig& operator=(const IConfig&) = delete;

    virtual uint8_t init(const QString& configPath);
    virtual uint8_t parseConfig(const QByteArray& bytes);

    QString getName(uint8_t index) const { return names_.value(index); }
    QString getPath(uint8_t pathId) const { return paths_.value(pathId); }
    QString getCookieName(uint8_t index) const;
    void getCookie(QByteArray& name, QByteArray& value) const;
    // Fills a cookie table entry's value (the type-1 list request sends entry 2's value).
    void setCookieValue(uint8_t index, const QByteArray& value);
    uint8_t getType() const { return static_cast<uint8_t>(type_); }
    const QString& appVersion() const { return appVersion_; }
    const QString& dataDir() const { return dataDir_; }
    const QString& configDir() const { return configDir_; }
    const QString& cookieDomain() const { return cookieDomain_; }
    int cookieCount() const { return cookies_.size(); }
    std::vector<float> getCameraData() const { return runtime_.cameraData; }

    void saveRuntimeData();
    bool isLastDateToday() const { return runtime_.isLastDateToday(); }
    bool checkVersion() { return runtime_.checkVersion(appVersion_); }
    void setLastDate(bool today) { runtime_.setLastDate(today); }
    void setMute(bool on) { runtime_.setMute(on); }
    void setGeometry(const QRect& rect) { runtime_.setGeometry(rect); }
    void setCameraData(const std::vector<float>& values) { runtime_.setCameraData(values); }

    RuntimeData& runtime() { return runtime_; }
    const RuntimeData& runtime() const { return runtime_; }

    // "1.2.3.4" gives "1.2.3"; anything without exactly four parts is kept whole.
    static QString cutVersion(const QString& version);
    // The configuration file's directory with its trailing "/".
    static QString configDirOf(const QString& configPath);
    // The user's data folder (the first application-data location that exists or can be
    // made); empty when there is none.
    static QString findDataDir();

private:
    void resolvePaths();

    QString dataDir_;
    QString configDir_;
    int type_ = 0;
    QString appVersion_;
    QHash<uint8_t, QString> names_;
    QHash<uint8_t, QString> paths_;
    QString cookieDomain_;
    QHash<uint8_t, QPair<QByteArray, QByteArray>> cookies_;
    RuntimeData runtime_;
};

}  // namespace live
