#include "core/IConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include "core/ErrorCode.h"

namespace live {
namespace {

template <typename Map, typename Value>
void insertNew(Map& map, uint8_t key, const Value& value) {
    if (!map.contains(key)) {
        map.insert(key, value);
    }
}

}  // namespace

QString IConfig::findDataDir() {
    const QStringList locations =
        QStandardPaths::standardLocations(QStandardPaths::AppDataLocation);
    for (const QString& dir : locations) {
        if (QDir(dir).exists() || QDir().mkpath(dir)) {
            return dir;
        }
    }
    return QString();
}

QString IConfig::cutVersion(const QString& version) {
    const QStringList parts = version.split(QLatin1Char('.'));
    if (parts.size() == 4) {
        return version.left(version.lastIndexOf(QLatin1Char('.')));
    }
    return version;
}

QString IConfig::configDirOf(const QString& configPath) {
    // Only the last component goes; its text may well occur earlier in the path.
    const int slash = configPath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : configPath.left(slash + 1);
}

uint8_t IConfig::init(const QString& configPath) {
    const QString dataDir = findDataDir();
    if (dataDir.isEmpty()) {
        return kSystemError;
    }
    dataDir_ = dataDir + QLatin1Char('/');
    configDir_ = configDirOf(configPath);
    appVersion_ = cutVersion(QCoreApplication::applicationVersion());

    if (configPath.isEmpty()) {
        return kBadFile;
    }
    QFile file(configPath);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return kBadFile;
    }
    const uint8_t rc = parseConfig(file.readAll());
    if (rc != kSuccess) {
        return rc;
    }
    // First entry wins: a sixth "fname" entry already holds the log path id.
    insertNew(paths_, kPathConfig, configPath);
    insertNew(paths_, kPathUserData, dataDir_ + getName(0) + QStringLiteral(".json"));
    insertNew(paths_, kPathLog, dataDir_ + QStringLiteral("/orblive_log"));
    runtime_.edition = static_cast<uint8_t>(type_);
    runtime_.load(getPath(kPathUserData));
    return kSuccess;
}

uint8_t IConfig::parseConfig(const QByteArray& bytes) {
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError || doc.isNull() || !doc.isObject()) {
        return kBadFile;
    }
    const QJsonObject root = doc.object();
    if (root.contains(QStringLiteral("type"))) {
        type_ = root.value(QStringLiteral("type")).toInt(0);
    }
    const QJsonValue win = root.value(QStringLiteral("win"));
    if (!win.isObject() || !win.toObject().value(QStringLiteral("name")).isArray()) {
        return kBadFile;
    }
    const QJsonArray names = win.toObject().value(QStringLiteral("name")).toArray();
    for (int i = 0; i < names.size(); ++i) {
        insertNew(names_, static_cast<uint8_t>(i), names[i].toString());
    }
    const QJsonValue fname = root.value(QStringLiteral("fname"));
    if (!fname.isArray()) {
        return kBadFile;
    }
    const QJsonArray files = fname.toArray();
    for (int i = 0; i < files.size(); ++i) {
        insertNew(paths_, static_cast<uint8_t>(kPathNetworkTasks + i), files[i].toString());
    }
    resolvePaths();

    const QJsonValue domain = root.value(QStringLiteral("domain_name"));
    const QJsonValue cookieNames = root.value(QStringLiteral("cookie_name"));
    if (!domain.isString() || !cookieNames.isArray()) {
        return kBadFile;
    }
    cookieDomain_ = domain.toString();
    if (type_ == 1) {
        const QJsonValue old = root.value(QStringLiteral("kelvarin_old"));
        if (!old.isObject()) {
            return kBadFile;
        }
        cookieDomain_ = old.toObject().value(QStringLiteral("domain_name")).toString();
    }
    const QJsonArray cookieArr = cookieNames.toArray();
    for (int i = 0; i < cookieArr.size(); ++i) {
        insertNew(cookies_, static_cast<uint8_t>(i),
                  qMakePair(cookieArr[i].toString().toUtf8(), QByteArray()));
    }
    return kSuccess;
}

void IConfig::resolvePaths() {
    const QString current = QDir::currentPath() + QLatin1Char('/');
    const QString prefixes[] = {configDir_, dataDir_, configDir_, current, configDir_};
    for (int i = 0; i < 5; ++i) {
        const auto id = static_cast<uint8_t>(kPathNetworkTasks + i);
        paths_[id] = prefixes[i] + paths_.value(id);
    }
}

QString IConfig::getCookieName(uint8_t index) const {
    return QString::fromUtf8(cookies_.value(index).first);
}

void IConfig::getCookie(QByteArray& name, QByteArray& value) const {
    auto it = cookies_.constFind(2);
    if (it == cookies_.constEnd()) {
        return;
    }
    name = it->first;
    value = it->second;
}

void IConfig::setCookieValue(uint8_t index, const QByteArray& value) {
    auto it = cookies_.find(index);
    if (it != cookies_.end()) {
        it->second = value;
    }
}

void IConfig::saveRuntimeData() {
    runtime_.save(getPath(kPathUserData));
}

}  // namespace live
