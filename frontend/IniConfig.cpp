#include "frontend/IniConfig.h"

#include <QFile>

#include "core/Log.h"

IniConfig::~IniConfig() {
    close();
}

bool IniConfig::open(const QString& path) {
    close();
    path_ = path;
    const QByteArray file = QFile::encodeName(path);
    int rc = config_open(&config_, file.constData(), CONFIG_OPEN_ALWAYS);
    if (rc != CONFIG_SUCCESS) {
        live::log::warn("{}: unreadable configuration {}, error {}", "IniConfig::open", path, rc);
        config_close(config_);
        config_ = nullptr;
        QFile::remove(path + QStringLiteral(".broken"));
        QFile::rename(path, path + QStringLiteral(".broken"));
        rc = config_open(&config_, file.constData(), CONFIG_OPEN_ALWAYS);
    }
    return rc == CONFIG_SUCCESS && config_;
}

bool IniConfig::save() {
    if (!config_) {
        return false;
    }
    const int rc = config_save_safe(config_, "tmp", "bak");
    if (rc != CONFIG_SUCCESS) {
        live::log::warn("{}: failed to save {}, error {}", "IniConfig::save", path_, rc);
    }
    return rc == CONFIG_SUCCESS;
}

void IniConfig::close() {
    if (config_) {
        config_close(config_);
        config_ = nullptr;
    }
}
