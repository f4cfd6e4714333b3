#include "shell/MainWindow.h"

#include <QCoreApplication>

#include "core/CrashHandler.h"
#include "core/ErrorCode.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "core/MessageBox.h"

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainWindow"));
    resize(1440, 900);
}

MainWindow::~MainWindow() {
    if (config_) {
        config_->saveRuntimeData();
    }
    live::closeLogger();
}

int MainWindow::start() {
    const QString appDir = QCoreApplication::applicationDirPath();
    live::installCrashHandler(appDir);

    config_ = std::make_shared<live::IConfig>();
    if (config_->init(appDir + QStringLiteral("/data/config.json")) != live::kSuccess) {
        config_.reset();
        live::MessageBox::critical(this, QStringLiteral("错误"),
                                   QStringLiteral("配置模块初始化失败，请检查程序完整性"),
                                   QMessageBox::Ok);
        return 3;
    }
    live::initLogger(config_->getPath(live::kPathLog).toUtf8().constData(), live::kWarn);
    show();
    return 0;
}
