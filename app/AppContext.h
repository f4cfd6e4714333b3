#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

namespace live {
class IConfig;
class IUserinfo;
class OrbHttpMgr;
}  // namespace live

// The client's start-up before its window: crash handler, configuration and look, the
// studio wrapper, the log file and the request manager. The main window is handed the
// configuration, the network manager and the user it made.
class AppContext {
    Q_DECLARE_TR_FUNCTIONS(AppContext)

public:
    AppContext() = default;
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    // 0; or 3, after telling the user, when the deployment files beside the program
    // (data/config.json, the network task file) cannot be loaded.
    int start(const QString& appDir);

    std::shared_ptr<live::IConfig> config() const { return config_; }
    std::shared_ptr<live::OrbHttpMgr> network() const { return net_; }
    std::shared_ptr<live::IUserinfo> user() const { return user_; }

private:
    bool loadConfig(const QString& appDir);
    void applyLook();
    bool loadNetwork();

    std::shared_ptr<live::IConfig> config_;
    std::shared_ptr<live::OrbHttpMgr> net_;
    std::shared_ptr<live::IUserinfo> user_;
};
