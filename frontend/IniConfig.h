#pragma once

#include <QString>

#include <util/config-file.h>

// One INI configuration file of the engine's kind, open for the owner's lifetime.
class IniConfig {
public:
    IniConfig() = default;
    ~IniConfig();
    IniConfig(const IniConfig&) = delete;
    IniConfig& operator=(const IniConfig&) = delete;

    // Opens or creates the file; an unreadable file is set aside and started afresh.
    bool open(const QString& path);
    // Writes through a temporary file, keeping the previous version as ".bak".
    bool save();
    void close();

    config_t* get() const { return config_; }
    const QString& path() const { return path_; }

private:
    config_t* config_ = nullptr;
    QString path_;
};
