#include "shell/MainWindow.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "core/DialogSeam.h"
#include "core/FileDialog.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "net/IUserinfo.h"
#include "net/OrbHttpMgr.h"
#include "room/IRoom.h"
#include "room/RoomPlaceholder.h"
#include "settings/LiveSet.h"
#include "shell/DesktopBrowser.h"
#include "shell/FramelessResize.h"
#include "shell/PageStack.h"
#include "shell/RequestNotice.h"
#include "shell/Scheme.h"
#include "shell/ServiceReplies.h"
#include "shell/SignInCookieWatch.h"
#include "shell/StartupTrace.h"
#include "shell/TitleBar.h"
#include "shell/WaitingSpinnerWidget.h"
#include "shell/ormLive_AskDialog.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebBridge.h"
#include "shell/web/OrbWebView.h"

namespace {

void critical(QWidget* parent, const char* text) {
    live::MessageBox::critical(parent, QStringLiteral("错误"), QString::fromUtf8(text),
                               QMessageBox::Ok);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_StyledBackground);
    setupForm();
    replies_ = new ServiceReplies(this);
    resize_ = new FramelessResize(this, [this](const QRect& rect) {
        if (config_) {
            config_->setGeometry(rect);
        }
    });
    spinner_ = new WaitingSpinnerWidget(this, true, true);
    spinner_->hide();
    connect(titleBar_, &TitleBar::signalTitleClicked, this, &MainWindow::slotlTitleClicked);
    titleBar_->setUserVisible(false);
    titleBar_->setButtonVisible(TitleBar::kSetButton, false);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::availableGeometryChanged, this, &MainWindow::slotGeometryChanged);
    }
}

MainWindow::~MainWindow() {
    if (config_) {
        config_->saveRuntimeData();
    }
}

void MainWindow::setupForm() {
    setObjectName(QStringLiteral("MainWindow"));
    resize(1440, 900);
    setStyleSheet(Scheme::instance().styleSheet(QSS_MAIN));
    auto* vlay = new QVBoxLayout(this);
    vlay->setObjectName(QStringLiteral("vlay"));
    vlay->setSpacing(0);
    vlay->setContentsMargins(0, 0, 0, 0);
    titleBar_ = new TitleBar(this);
    titleBar_->setObjectName(QStringLiteral("title_bar"));
    titleBar_->setFixedHeight(56);
    pages_ = new PageStack(this);
    vlay->addWidget(titleBar_);
    vlay->addWidget(pages_);
}

int MainWindow::start(std::shared_ptr<live::IConfig> config,
                      std::shared_ptr<live::OrbHttpMgr> network,
                      std::shared_ptr<live::IUserinfo> user) {
    config_ = std::move(config);
    net_ = std::move(network);
    user_ = std::move(user);
    setStyleSheet(Scheme::instance().styleSheet(QSS_MAIN));
    connect(net_.get(), &live::INetwork::signalReplyInfo, this, &MainWindow::slotHttpEvent,
            Qt::QueuedConnection);
    createWebView();
    fitAndShow();
    checkVersionChange();
    if (!config_->isLastDateToday()) {
        step(kStepSignIn);
        return 0;
    }
    if (OrbWebView* web = webView()) {
        web->loadCookieFromFile();
        web->hide();
    }
    live::log::warn("{}: goto onLogin", "MainWindow::start");
    onLogin();
    return 0;
}

void MainWindow::fitAndShow() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        slotGeometryChanged(screen->availableGeometry());
    }
    show();
    if (OrbWebView* web = webView()) {
        web->clearCache();
    }
}

void MainWindow::checkVersionChange() {
    if (!config_->checkVersion()) {
        return;
    }
    net_->clearCookies();
    net_->clearConnectionCache();
    config_->setLastDate(false);
}

void MainWindow::createWebView() {
    const QString title = Scheme::instance().displayTitle();
    setWindowTitle(title);
    titleBar_->setTitle(title);
    pages_->clear();
    OrbWebView* web = webViewFactory_ ? webViewFactory_(pages_) : new OrbWebView(pages_);
    web->hide();
    if (web->init(true) != 0) {
        critical(this, "WebView初始化失败，请检查程序完整性");
        live::log::error("{}: init error", "MainWindow::createWebView");
    }
    std::weak_ptr<live::OrbHttpMgr> net = net_;
    web->setUrlResolver([net](uint8_t type) {
        auto mgr = net.lock();
        return mgr ? mgr->getUrl(type) : QString();
    });
    connect(web, &IOrbWebView::signalJSEvent, this, &MainWindow::slotJSEvent);
    for (uint8_t s : {kStepSignIn, kStepAbout, kStepProfile, kStepPlayback}) {
        pages_->insert(s, web);
    }
    traceStartupPages();
    createTaskList();
    slotCreateRoom();
}

void MainWindow::createTaskList() {
    auto* task = new Task(config_, net_, pages_);
    task->hide();
    connect(task, &Task::signalLogout, this, &MainWindow::onLogout);
    connect(task, &Task::signalChangeUserInfo, this, [this] { step(kStepProfile); });
    connect(task, &Task::signalEnterRoom, this, &MainWindow::slotEnterRoom);
    connect(task, &Task::signalBackplay, this, &MainWindow::slotBackplay);
    pages_->insert(kStepTasks, task);
}

void MainWindow::traceStartupPages() {
    OrbWebView* web = webView();
    if (!web || !web->view()) {
        return;
    }
    connect(web->view(), &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (ok && !tracedSignIn_ && requestedStep_ == kStepSignIn) {
            tracedSignIn_ = true;
            live::traceStartup("sign-in-page");
        }
    });
}

const BorderResizer& MainWindow::borders() const {
    return resize_->borders();
}

QWidget* MainWindow::page(uint8_t s) const {
    return pages_->page(s);
}

OrbWebView* MainWindow::webView() const {
    return qobject_cast<OrbWebView*>(pages_->page(kStepSignIn));
}

Task* MainWindow::taskList() const {
    return qobject_cast<Task*>(pages_->page(kStepTasks));
}

IRoom* MainWindow::room() const {
    return qobject_cast<IRoom*>(pages_->page(kStepRoom));
}

void MainWindow::step(uint8_t s) {
    if (s > kStepLast) {
        return;
    }
    requestedStep_ = s;
    if (!pages_->showStep(s)) {
        live::log::error("{}: no sub window, something error", "MainWindow::step");
        return;
    }
    if (s < kStepAbout) {
        currentStep_ = s;
    }
    enterStep(s);
}

void MainWindow::enterStep(uint8_t s) {
    OrbWebView* web = webView();
    switch (s) {
        case kStepSignIn:
            web->loadPage(uint8_t(live::kTaskLogin));
            break;
        case kStepTasks:
            taskList()->refresh();
            break;
        case kStepRoom:
            room()->enterRoom(roomEntry_.name, roomEntry_.pushUrl, uint32_t(roomEntry_.taskId),
                              uint32_t(roomEntry_.taskType));
            break;
        case kStepAbout:
            web->loadPage(uint8_t(live::kTaskAbout));
            break;
        case kStepProfile:
            web->loadPage(uint8_t(live::kTaskUserUpdate));
            break;
        case kStepPlayback:
            web->loadPage(playbackUrl_);
            break;
        default:
            break;
    }
}

IRoom* MainWindow::makePlaceholderRoom(QWidget* parent, int serverType) {
    // Variants 1 and 2 get the speech room, every other one the studio room.
    const auto edition =
        (serverType == 1 || serverType == 2) ? RoomPlaceholder::kSpeech : RoomPlaceholder::kStudio;
    return new RoomPlaceholder(edition, parent);
}

void MainWindow::slotCreateRoom() {
    delete pages_->take(kStepRoom);
    IRoom* room = roomFactory_(pages_, config_ ? config_->getType() : 0);
    if (!room) {
        live::log::error("{}: no room for server type {}", "MainWindow::slotCreateRoom",
                         config_ ? config_->getType() : 0);
        return;
    }
    room->hide();
    pages_->insert(kStepRoom, room);
}

void MainWindow::slotEnterRoom(QString name, QString url, int roomId, int taskid, int tasktype) {
    roomEntry_ = {name, url, roomId, taskid, tasktype};
    spinner_->setText(QStringLiteral("正在进入直播间,请稍后..."));
    spinner_->raise();
    spinner_->show();
    spinner_->startwidthNoSpin();
    titleBar_->setButtonVisible(TitleBar::kSetButton, true);
    QTimer::singleShot(kRoomEntryDelayMs, this, [this] {
        step(kStepRoom);
        spinner_->stop();
        spinner_->hide();
    });
}

void MainWindow::slotBackplay(QString url) {
    playbackUrl_ = url;
    step(kStepPlayback);
}

void MainWindow::slotlTitleClicked(uint8_t type) {
    if (type == TitleBar::kAboutButton) {
        step(kStepAbout);
    } else if (type == TitleBar::kSetButton && currentStep_ >= kStepRoom) {
        openLiveSettings(room());
    }
}

void MainWindow::openLiveSettings(IRoom* room) {
    LiveSet::openFor(this, room ? room->consoleWidget() : nullptr,
                     static_cast<uint8_t>(config_ ? config_->getType() : 0));
}

void MainWindow::slotJSEvent(uint8_t type, QString val) {
    switch (type) {
        case OrbWebBridge::kSignedIn:
            onLogin();
            break;
        case OrbWebBridge::kSignedOut:
            onLogout();
            break;
        case OrbWebBridge::kLoginModalClosed:
            requestUserInfo();
            closeWebPage();
            break;
        case OrbWebBridge::kAboutClosed:
            closeWebPage();
            break;
        case OrbWebBridge::kOpenBrowser:
            DesktopBrowser::open(QUrl(val));
            break;
        case OrbWebBridge::kUploadAvatar:
            uploadAvatar();
            break;
        default:
            break;
    }
}

void MainWindow::onLogin() {
    titleBar_->setButtonVisible(TitleBar::kAboutButton, false);
    if (OrbWebView* web = webView()) {
        web->loadPage(uint8_t(live::kTaskLoginSuccess));
    }
    config_->setLastDate(true);
    cookieWatch()->start();
}

void MainWindow::checkCookieReady() {
    cookieWatch()->check();
}

SignInCookieWatch* MainWindow::cookieWatch() {
    if (cookieWatch_) {
        return cookieWatch_;
    }
    const auto browserCookies = [this] {
        QList<QNetworkCookie> cookies;
        if (OrbWebView* web = webView()) {
            web->getCookies(cookies);
        }
        return cookies;
    };
    cookieWatch_ = new SignInCookieWatch(SignInCookieWatch::requiredBy(config_.get()),
                                         browserCookies, kCookieCheckMs, kCookieRetryLimit, this);
    connect(cookieWatch_, &SignInCookieWatch::gaveUp, this, &MainWindow::giveUpSignIn);
    connect(cookieWatch_, &SignInCookieWatch::cookiesReady, this, &MainWindow::finishSignIn);
    return cookieWatch_;
}

void MainWindow::giveUpSignIn() {
    critical(this, "无法获取Cookie信息，请重新登录");
    config_->setLastDate(false);
    if (OrbWebView* web = webView()) {
        web->clearAll();
    }
    step(kStepSignIn);
}

void MainWindow::finishSignIn(const QList<QNetworkCookie>& cookies) {
    if (net_) {
        net_->clearCookies();
        net_->insertCookies(cookies);
    }
    requestUserInfo();
    titleBar_->setUserVisible(true);
    step(kStepTasks);
}

void MainWindow::onLogout() {
    step(kStepSignIn);
    if (user_) {
        user_->clear();
    }
    if (net_) {
        net_->clearCookies();
    }
    titleBar_->setUserVisible(false);
    titleBar_->setButtonVisible(TitleBar::kAboutButton, true);
    if (config_) {
        config_->setLastDate(false);
    }
}

void MainWindow::closeWebPage() {
    if (OrbWebView* web = webView()) {
        web->loadPage(QStringLiteral("about:blank"));
        web->hide();
    }
    step(currentStep_);
}

void MainWindow::requestUserInfo() {
    if (net_) {
        net_->send(live::kTaskGetUser, QStringList(), "MainWindow::requestUserInfo");
    }
}

void MainWindow::uploadAvatar() {
    const QString file = live::FileDialog::getOpenFileName(this, QStringLiteral("请选择数据文件"),
                                                           QString(), QStringLiteral("*.*"));
    if (file.isEmpty() || !net_) {
        return;
    }
    live::OrbHttpMgr::IParamValue record(live::kTaskUserImage, file);
    RequestNotice::send(net_.get(), live::kTaskUserImage, net_->buildArgs(&record), this,
                        "MainWindow::uploadAvatar");
}

void MainWindow::updateUserInfo() {
    QString nickname;
    QString avatarPath;
    user_->getDisplay(nickname, avatarPath);
    if (Task* task = taskList()) {
        task->setUserInfo(nickname, avatarPath);
    }
    titleBar_->setUserInfo(avatarPath, nickname);
}

void MainWindow::slotHttpEvent(uint8_t type, QByteArray data) {
    replies_->handle(type, data);
}

void MainWindow::slotGeometryChanged(QRect avail) {
    resize_->fitTo(avail);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (currentStep_ < kStepRoom && requestedStep_ != kStepPlayback) {
        if (config_ && config_->runtime().reconfirm) {
            const QString text = QStringLiteral("您确定要关闭该程序吗？");
            ormLive_AskDialog dialog(QStringLiteral("询问"), text, ormLive_AskDialog::kOk, this);
            if (live::DialogSeam::exec(&dialog, text) != QDialog::Accepted) {
                event->ignore();
                return;
            }
        }
        event->accept();
        return;
    }
    event->ignore();
    // Only a room that was entered has anything to refuse; playback is shown from the list.
    IRoom* current = currentStep_ == kStepRoom ? room() : nullptr;
    if (current && !current->leaveRoom()) {
        return;
    }
    titleBar_->setButtonVisible(TitleBar::kSetButton, false);
    step(kStepTasks);
}
