#include "frontend/OBSApp.h"

#include "core/ExitWatchdog.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "frontend/IniConfig.h"
#include "frontend/LogBridge.h"
#include "frontend/ModuleLoader.h"
#include "frontend/RtmpServiceType.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioDefaults.h"
#include "frontend/StudioEngine.h"
#include "frontend/StudioPaths.h"
#include "frontend/StudioStrings.h"
#include "platform/NativeDisplay.h"

OBSApp::OBSApp(int& argc, char** argv)
    : QApplication(argc, argv),
      global_(std::make_unique<IniConfig>()),
      engine_(std::make_unique<StudioEngine>()) {
    setOrganizationName(QStringLiteral("kelvarin"));
    setApplicationName(QStringLiteral("orblive"));
    setApplicationVersion(QStringLiteral(ORBLIVE_VERSION));
}

OBSApp::~OBSApp() {
    shutdown();
}

int OBSApp::init() {
    failure_.clear();
    const int rc = startStudio();
    if (rc < 0) {
        failure_ = describeFailure(rc);
        live::log::error("{}: {}", "OBSApp::init", failure_);
    }
    return rc;
}

QString OBSApp::describeFailure(int rc) const {
    switch (rc) {
        case kNoDisplay:
            return tr("直播引擎无法启动：没有可用的 X11 显示，请在图形桌面中运行");
        case kAudioFailed:
            return tr("直播引擎无法启动：音频初始化失败");
        case kGraphicsFailed:
            return tr("直播引擎无法启动：没有可用的图形支持（OpenGL/EGL）");
        case kNoDataDir:
            return tr("直播引擎无法启动：数据目录不可写（%1）").arg(StudioPaths::root());
        case kModuleMissing:
            return tr("直播引擎无法启动：缺少模块 %1").arg(missing_.join(", "));
        default:
            return tr("直播引擎无法启动，请检查程序完整性");
    }
}

int OBSApp::startStudio() {
    if (basic_) {
        return 0;
    }
    // The engine draws through the windowing system Qt is connected to.
    if (!NativeDisplay::available()) {
        return kNoDisplay;
    }
    if (!StudioPaths::ensure() || !global_->open(StudioPaths::globalConfig())) {
        return kNoDataDir;
    }
    StudioDefaults::applyGlobal(global_->get());
    global_->save();
    LogBridge::install();
    const QString locale =
        QString::fromUtf8(config_get_string(global_->get(), "General", "Language"));
    if (!engine_->start(NativeDisplay::handle(), locale, StudioPaths::moduleConfig())) {
        shutdown();
        return kEngineFailed;
    }
    basic_ = std::make_unique<OBSBasic>();
    const int rc = basic_->init();
    if (rc < 0) {
        shutdown();
        return rc;
    }
    missing_ = ModuleLoader::missingRequired(ModuleLoader::loadAll());
    if (!missing_.isEmpty()) {
        shutdown();
        return kModuleMissing;
    }
    RtmpServiceType::registerType();
    basic_->loadProject();
    return 0;
}

void OBSApp::shutdown() {
    global_->save();
    // Seen under load: a thread of the encoder or a video decoder that never ended kept the
    // teardown, and with it the process and its single-instance lock, alive with no window
    // left. The settings are saved here and the scenes first thing in the studio's teardown,
    // before anything that can hang.
    const ExitWatchdog watchdog(std::chrono::milliseconds(kShutdownLimitMs), kExitShutdownHung,
                                "the studio's teardown");
    basic_.reset();
    engine_->stop();
    global_->close();
    const long leaks = bnum_allocs();
    if (leaks != 0) {
        live::log::warn("{}: {} engine allocations not freed", "OBSApp::shutdown", leaks);
    }
}

void OBSApp::OBSWinInit(QWidget* host, OBSBasic::ControlFn control, OBSBasic::ItemFn itemEvent) {
    if (basic_) {
        basic_->attach(host, std::move(control), std::move(itemEvent));
    }
}

void OBSApp::OBSWinReset() {
    if (basic_) {
        basic_->detach();
    }
}

bool OBSApp::ctrlScene(uint8_t op, const QString& name, const QVariant& value) {
    return basic_ && basic_->ctrlScene(op, name, value);
}

bool OBSApp::ctrlSceneItem(const QString& name, uint8_t op, const QVariant& value) {
    return basic_ && basic_->ctrlSceneItem(name, op, value);
}

QString OBSApp::addSceneItem(const orbLiveImp::SoureParam& param) {
    return basic_ ? basic_->addSceneItem(param) : QString();
}

bool OBSApp::removeScenceItem(const QString& name, bool confirm) {
    if (!basic_) {
        return false;
    }
    if (confirm &&
        live::MessageBox::question(nullptr, tr("提示"), tr("确定要删除素材“%1”吗？").arg(name)) !=
            QMessageBox::Yes) {
        return false;
    }
    return basic_->removeSceneItem(name);
}

QString OBSApp::fastAddWindow(const QString& title) {
    return basic_ ? basic_->fastAddWindow(title) : QString();
}

QString OBSApp::fastAddMinotor(const QString& title) {
    return basic_ ? basic_->fastAddMonitor(title) : QString();
}

QStringList OBSApp::getNameListofShareInSence() const {
    return basic_ ? basic_->itemNamesOfKinds({SourceKinds::kMonitor, SourceKinds::kWindow})
                  : QStringList();
}

QStringList OBSApp::getNameListofCamerasInSence() const {
    return basic_ ? basic_->itemNamesOfKinds({SourceKinds::kCamera}) : QStringList();
}

bool OBSApp::ctrlVoice(uint8_t code, int value) {
    return basic_ && basic_->ctrlVoice(code, value);
}

void OBSApp::setRTMPUrl(const QString& server, const QString& key) {
    if (basic_) {
        basic_->setRTMPUrl(server, key);
    }
}

void OBSApp::resetSouceParent(QLayout* layout, QWidget* widget) {
    if (basic_) {
        basic_->lendSourceList(layout, widget);
    }
}

config_t* OBSApp::GlobalConfig() const {
    return global_->get();
}

QString OBSApp::GetString(const char* key) const {
    return StudioStrings::get(key);
}

const char* OBSApp::InputAudioSource() const {
    return SourceKinds::inputAudioType();
}

const char* OBSApp::OutputAudioSource() const {
    return SourceKinds::outputAudioType();
}
