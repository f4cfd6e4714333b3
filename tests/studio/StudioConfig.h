#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/IConfig.h"

// A real configuration read from a config.json written into a private folder; its
// filter file (path id 6) lies beside it.
class StudioConfig {
public:
    StudioConfig() : config_(std::make_shared<live::IConfig>()) {
        QFile file(dir_.filePath(QStringLiteral("config.json")));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(R"({"type": 0, "win": {"name": ["studio_user", "orblive", "pc"]},
                "fname": ["network.json", "cache", "resource", "plugins", "filter_info.json"],
                "domain_name": "127.0.0.1", "cookie_name": ["A", "B", "C"]})");
        }
        file.close();
        rc_ = config_->init(file.fileName());
    }

    uint8_t initResult() const { return rc_; }
    const std::shared_ptr<live::IConfig>& config() const { return config_; }
    QString filterPath() const { return config_->getPath(live::kPathStudioFilter); }

    bool writeFilter(const QByteArray& content) const {
        QFile file(filterPath());
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(content) == content.size();
    }

private:
    QTemporaryDir dir_;
    std::shared_ptr<live::IConfig> config_;
    uint8_t rc_ = 0;
};
