#include "frontend/StudioPaths.h"

#include <QDir>
#include <QStandardPaths>

QString StudioPaths::root() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/studio");
}

QString StudioPaths::globalConfig() {
    return root() + QStringLiteral("/global.ini");
}

QString StudioPaths::profileConfig() {
    return root() + QStringLiteral("/basic.ini");
}

QString StudioPaths::sceneCollection() {
    return root() + QStringLiteral("/scenes.json");
}

QString StudioPaths::moduleConfig() {
    return root() + QStringLiteral("/plugin_config");
}

bool StudioPaths::ensure() {
    return QDir().mkpath(root()) && QDir().mkpath(moduleConfig());
}
