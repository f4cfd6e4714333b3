#include "app/AppContext.h"

#include <QApplication>

#include "core/CrashHandler.h"
#include "core/ErrorCode.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "net/IUserinfo.h"
#include "net/OrbHttpMgr.h"
#include "shell/Scheme.h"
#include "studio/OrbOBS.h"

namespace {

constexpr int kExitBadDeployment = 3;

void critical(const QString& text) {
    live::MessageBox::critical(nullptr, QCoreApplication::translate("AppContext", "错误"), text,
                               QMessageBox::Ok);
}

}  // namespace

AppContext::~AppContext() {
    live::closeLogger();
}

int AppContext::start(const QString& appDir) {
    live::installCrashHandler(live::dumpDirectory(appDir, live::IConfig::findDataDir()));
    user_ = std::make_shared<live::IUserinfo>();
    if (!loadConfig(appDir)) {
        return kExitBadDeployment;
    }
    applyLook();
    OrbOBS::instance().init(config_);
    live::initLogger(config_->getPath(live::kPathLog).toUtf8().constData(), live::kWarn);
    return loadNetwork() ? 0 : kExitBadDeployment;
}

bool AppContext::loadConfig(const QString& appDir) {
    config_ = std::make_shared<live::IConfig>();
    if (config_->init(appDir + QStringLiteral("/data/config.json")) == live::kSuccess) {
        return true;
    }
    config_.reset();
    critical(tr("配置模块初始化失败，请检查程序完整性"));
    return false;
}

void AppContext::applyLook() {
    Scheme& scheme = Scheme::instance();
    scheme.init(config_->getType());
    // The sheets scope their rules by owner, so the pages' sheets apply application-wide.
    qApp->setStyleSheet(scheme.styleSheet(QSS_BASE) + scheme.styleSheet(QSS_TASK));
}

bool AppContext::loadNetwork() {
    net_ = std::make_shared<live::OrbHttpMgr>(config_);
    if (net_->initSsl() == live::kSuccess &&
        net_->initHttpTask(config_->getPath(live::kPathNetworkTasks)) == live::kSuccess) {
        return true;
    }
    net_.reset();
    critical(tr("网络任务初始化失败，请检查程序完整性"));
    return false;
}
