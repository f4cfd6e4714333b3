#include "shell/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHoverEvent>
#include <QJsonDocument>
#include <QMouseEvent>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "core/CrashHandler.h"
#include "core/DialogSeam.h"
#include "core/ErrorCode.h"
#include "core/FileDialog.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "net/IUserinfo.h"
#include "net/OrbHttpMgr.h"
#include "room/IRoom.h"
#include "room/RoomPlaceholder.h"
#include "shell/DesktopBrowser.h"
#include "shell/Scheme.h"
#include "shell/StartupTrace.h"
#include "shell/TitleBar.h"
#include "shell/WaitingSpinnerWidget.h"
#include "shell/ormLive_AskDialog.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebView.h"
#include "studio/OrbOBS.h"

namespace {

enum TitleButton : uint8_t { kAboutButton = 0, kSetButton = 1 };
enum JsEvent : uint8_t {
    kJsSignedIn = 0,
    kJsSignedOut = 1,
    kJsModalClosed = 2,
    kJsAboutClosed = 3,
    kJsOpenBrowser = 4,
    kJsUploadAvatar = 5,
};
enum AskMode { kAskOk = 1, kAskCopy = 4 };
constexpr int kRequiredCookies = 3;

void critical(QWidget* parent, const char* text) {
    live::MessageBox::critical(parent, QStringLiteral("错误"), QString::fromUtf8(text),
                               QMessageBox::Ok);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_StyledBackground);
    setAttribute(Qt::WA_Hover);
    setupForm();
    spinner_ = new WaitingSpinnerWidget(this, true, true);
    spinner_->hide();
    cookieTimer_ = new QTimer(this);
    cookieTimer_->setObjectName(QStringLiteral("cookieCheck"));
    cookieTimer_->setInterval(kCookieCheckMs);
    // Connected once: a second sign-in must not make every tick count twice.
    connect(cookieTimer_, &QTimer::timeout, this, &MainWindow::checkCookieReady);
    border_.updateRects(size());
    connect(titleBar_, &TitleBar::signalTitleClicked, this, &MainWindow::slotlTitleClicked);
    titleBar_->setUserVisible(false);
    titleBar_->setButtonVisible(kSetButton, false);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::availableGeometryChanged, this, &MainWindow::slotGeometryChanged);
    }
}

MainWindow::~MainWindow() {
    if (config_) {
        config_->saveRuntimeData();
    }
    live::closeLogger();
}

void MainWindow::setupForm() {
    setObjectName(QStringLiteral("MainWindow"));
    resize(1440, 900);
    setStyleSheet(Scheme::instance().styleSheet(QSS_MAIN));
    vlay_ = new QVBoxLayout(this);
    vlay_->setObjectName(QStringLiteral("vlay"));
    vlay_->setSpacing(0);
    vlay_->setContentsMargins(0, 0, 0, 0);
    titleBar_ = new TitleBar(this);
    titleBar_->setObjectName(QStringLiteral("title_bar"));
    titleBar_->setFixedHeight(56);
    welcome_ = new QWidget(this);
    welcome_->setObjectName(QStringLiteral("welcome"));
    welcome_->setAttribute(Qt::WA_StyledBackground);
    hlay_ = new QHBoxLayout(welcome_);
    hlay_->setObjectName(QStringLiteral("hlay"));
    hlay_->setSpacing(0);
    hlay_->setContentsMargins(0, 0, 0, 0);
    vlay_->addWidget(titleBar_);
    vlay_->addWidget(welcome_);
}

int MainWindow::start() {
    const QString appDir = QCoreApplication::applicationDirPath();
    live::installCrashHandler(appDir);
    user_ = std::make_shared<live::IUserinfo>();
    if (!initConfig(appDir)) {
        return 3;
    }
    initLook();
    OrbOBS::instance().init(config_);
    live::initLogger(config_->getPath(live::kPathLog).toUtf8().constData(), live::kWarn);
    if (!initNetwork()) {
        return 3;
    }
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

bool MainWindow::initConfig(const QString& appDir) {
    config_ = std::make_shared<live::IConfig>();
    if (config_->init(appDir + QStringLiteral("/data/config.json")) == live::kSuccess) {
        return true;
    }
    config_.reset();
    critical(this, "配置模块初始化失败，请检查程序完整性");
    return false;
}

void MainWindow::initLook() {
    Scheme& scheme = Scheme::instance();
    scheme.init(config_->getType());
    // The sheets scope their rules by owner, so the pages' sheets apply application-wide.
    qApp->setStyleSheet(scheme.styleSheet(QSS_BASE) + scheme.styleSheet(QSS_TASK));
    setStyleSheet(scheme.styleSheet(QSS_MAIN));
}

bool MainWindow::initNetwork() {
    net_ = std::make_shared<live::OrbHttpMgr>(config_);
    if (net_->initSsl() == live::kSuccess &&
        net_->initHttpTask(config_->getPath(live::kPathNetworkTasks)) == live::kSuccess) {
        return true;
    }
    net_.reset();
    critical(this, "网络任务初始化失败，请检查程序完整性");
    return false;
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
    pages_.clear();
    auto* web = new OrbWebView(welcome_);
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
        pages_.insert(s, web);
    }
    traceStartupPages();
    createTaskList();
    slotCreateRoom();
}

void MainWindow::createTaskList() {
    auto* task = new Task(config_, net_, welcome_);
    task->hide();
    connect(task, &Task::signalLogout, this, &MainWindow::onLogout);
    connect(task, &Task::signalChangeUserInfo, this, [this] { step(kStepProfile); });
    connect(task, &Task::signalEnterRoom, this, &MainWindow::slotEnterRoom);
    connect(task, &Task::signalBackplay, this, &MainWindow::slotBackplay);
    pages_.insert(kStepTasks, task);
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

OrbWebView* MainWindow::webView() const {
    return qobject_cast<OrbWebView*>(pages_.value(kStepSignIn));
}

Task* MainWindow::taskList() const {
    return qobject_cast<Task*>(pages_.value(kStepTasks));
}

IRoom* MainWindow::room() const {
    return qobject_cast<IRoom*>(pages_.value(kStepRoom));
}

void MainWindow::step(uint8_t s) {
    if (s > kStepLast) {
        return;
    }
    requestedStep_ = s;
    QWidget* page = pages_.value(s);
    if (!page) {
        live::log::error("{}: no sub window, something error", "MainWindow::step");
        return;
    }
    showPage(page);
    if (s < kStepAbout) {
        currentStep_ = s;
    }
    enterStep(s);
}

void MainWindow::showPage(QWidget* page) {
    if (QLayoutItem* item = hlay_->takeAt(0)) {
        if (item->widget()) {
            item->widget()->hide();
        }
        delete item;
    }
    hlay_->addWidget(page);
    page->resize(welcome_->size());
    page->show();
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
            room()->enterRoom(roomName_, roomPushUrl_, uint32_t(roomTaskId_),
                              uint32_t(roomTaskType_));
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

void MainWindow::slotCreateRoom() {
    delete pages_.take(kStepRoom);
    const uint8_t type = config_ ? config_->getType() : 0;
    // Editions 1 and 2 get the speech room, every other one the studio room.
    const auto edition =
        (type == 1 || type == 2) ? RoomPlaceholder::kSpeech : RoomPlaceholder::kStudio;
    auto* room = new RoomPlaceholder(edition, welcome_);
    room->hide();
    pages_.insert(kStepRoom, room);
}

void MainWindow::slotEnterRoom(QString name, QString url, int roomId, int taskid, int tasktype) {
    roomName_ = name;
    roomPushUrl_ = url;
    roomId_ = roomId;
    roomTaskId_ = taskid;
    roomTaskType_ = tasktype;
    spinner_->setText(QStringLiteral("正在进入直播间,请稍后..."));
    spinner_->raise();
    spinner_->show();
    spinner_->startwidthNoSpin();
    titleBar_->setButtonVisible(kSetButton, true);
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
    if (type == kAboutButton) {
        step(kStepAbout);
    } else if (type == kSetButton && currentStep_ >= kStepRoom) {
        openLiveSettings(room());
    }
}

void MainWindow::openLiveSettings(IRoom* room) {
    live::log::warn("{}: live settings are not available for {}", "MainWindow::openLiveSettings",
                    room ? room->objectName() : QStringLiteral("no room"));
}

void MainWindow::slotJSEvent(uint8_t type, QString val) {
    switch (type) {
        case kJsSignedIn:
            onLogin();
            break;
        case kJsSignedOut:
            onLogout();
            break;
        case kJsModalClosed:
            requestUserInfo();
            closeWebPage();
            break;
        case kJsAboutClosed:
            closeWebPage();
            break;
        case kJsOpenBrowser:
            openDefaultBrowser(val);
            break;
        case kJsUploadAvatar:
            uploadAvatar();
            break;
        default:
            break;
    }
}

void MainWindow::openDefaultBrowser(const QString& url) {
    if (url.isEmpty()) {
        live::log::warn("{}: {}", "MainWindow::downloadApp", "bad parameter");
        return;
    }
    DesktopBrowser::open(QUrl(url));
}

void MainWindow::onLogin() {
    titleBar_->setButtonVisible(kAboutButton, false);
    if (OrbWebView* web = webView()) {
        web->loadPage(uint8_t(live::kTaskLoginSuccess));
    }
    config_->setLastDate(true);
    cookieTimer_->start(kCookieCheckMs);
}

void MainWindow::checkCookieReady() {
    if (requiredCookies_.isEmpty()) {
        for (uint8_t i = 0; i < kRequiredCookies; ++i) {
            // A deployment that names fewer cookies requires only those it names.
            const QString name = config_ ? config_->getCookieName(i) : QString();
            if (!name.isEmpty()) {
                requiredCookies_ << name;
            }
        }
    }
    if (retryTimes_ >= kCookieRetryLimit) {
        giveUpSignIn();
        return;
    }
    ++retryTimes_;
    live::log::info("{}: retry_times={}", "MainWindow::checkCookieReady", retryTimes_);
    QList<QNetworkCookie> cookies;
    if (OrbWebView* web = webView()) {
        web->getCookies(cookies);
    }
    live::log::info("{}: get cookies from WebView, num {}", "MainWindow::checkCookieReady",
                    cookies.size());
    if (countRequiredCookies(cookies) < requiredCookies_.size()) {
        ++retryTimes_;
        return;
    }
    cookieTimer_->stop();
    retryTimes_ = 0;
    handOverCookies(cookies);
    requestUserInfo();
    titleBar_->setUserVisible(true);
    step(kStepTasks);
}

int MainWindow::countRequiredCookies(const QList<QNetworkCookie>& cookies) const {
    // The kept list repeats a cookie each time it is set, so count names, not entries.
    QSet<QString> present;
    for (const QNetworkCookie& c : cookies) {
        const QString name = QString::fromUtf8(c.name());
        if (requiredCookies_.contains(name)) {
            present.insert(name);
        }
    }
    return present.size();
}

void MainWindow::giveUpSignIn() {
    live::log::warn("{}: retry_times={}", "MainWindow::checkCookieReady", retryTimes_);
    cookieTimer_->stop();
    retryTimes_ = 0;
    critical(this, "无法获取Cookie信息，请重新登录");
    config_->setLastDate(false);
    if (OrbWebView* web = webView()) {
        web->clearAll();
    }
    step(kStepSignIn);
}

void MainWindow::handOverCookies(const QList<QNetworkCookie>& cookies) {
    if (!net_) {
        return;
    }
    net_->clearCookies();
    net_->insertCookies(cookies);
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
    titleBar_->setButtonVisible(kAboutButton, true);
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
        net_->sendReq(live::kTaskGetUser, QStringList());
    }
}

void MainWindow::uploadAvatar() {
    const QString file = live::FileDialog::getOpenFileName(this, QStringLiteral("请选择数据文件"),
                                                           QString(), QStringLiteral("*.*"));
    if (file.isEmpty() || !net_) {
        return;
    }
    live::OrbHttpMgr::IParamValue record(live::kTaskUserImage, file);
    net_->sendReq(live::kTaskUserImage, net_->buildArgs(&record));
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
    if (!net_) {
        return;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(data);
    const QJsonObject reply = doc.isObject() ? doc.object() : QJsonObject();
    switch (type) {
        case live::kTaskUserImage:
            onAvatarUploaded(data, reply);
            break;
        case live::kTaskListRoom:
        case live::kTaskDetails:
            onTaskReply(data);
            break;
        case 6:  // to_invite
            onInviteCode(reply);
            break;
        case live::kTaskGetUser:
            onUserInfo(reply);
            break;
        case live::kTaskStartLive:
            onLiveStarted(reply);
            break;
        case live::kTaskStopLive:
            onLiveStopped(reply);
            break;
        case live::kTaskUserUpdateAvatar:
            onAvatarChanged();
            break;
        case live::kTaskAvatarDownload:
            onAvatarImage(data);
            break;
        default:
            break;
    }
}

void MainWindow::onAvatarUploaded(const QByteArray& data, const QJsonObject& reply) {
    if (data.isEmpty() || reply.isEmpty()) {
        return;
    }
    const QString fileId =
        reply.value(QStringLiteral("data")).toObject().value(QStringLiteral("fileId")).toString();
    if (fileId.isEmpty()) {
        // A refused upload carries no file; pointing the avatar at nothing would only fail.
        live::log::warn("{}: avatar upload refused {}", "MainWindow::slotHttpEvent",
                        reply.value(QStringLiteral("msg")).toString());
        return;
    }
    live::OrbHttpMgr::IParamValue record(live::kTaskUserUpdateAvatar, fileId);
    net_->sendReq(live::kTaskUserUpdateAvatar, net_->buildArgs(&record));
}

void MainWindow::onTaskReply(const QByteArray& data) {
    if (data.isEmpty()) {
        live::MessageBox::warning(this, QStringLiteral("警告"), QStringLiteral("获取任务信息失败"),
                                  QMessageBox::Ok);
        live::log::warn("{}: failed to get task info", "MainWindow::slotHttpEvent");
        return;
    }
    Task* task = taskList();
    if (!task) {
        return;
    }
    task->setData(data);
    if (!tracedTasks_ && requestedStep_ == kStepTasks) {
        tracedTasks_ = true;
        task->repaint();
        live::traceStartup("task-list");
    }
}

void MainWindow::onInviteCode(const QJsonObject& reply) {
    if (reply.isEmpty()) {
        return;
    }
    const QString code = reply.value(QStringLiteral("data"))
                             .toObject()
                             .value(QStringLiteral("inviteCode"))
                             .toString();
    if (code.isEmpty()) {
        // A refused request has no code; an empty box to copy from would look like one.
        live::log::warn("{}: no invitation code {}", "MainWindow::slotHttpEvent",
                        reply.value(QStringLiteral("msg")).toString());
        return;
    }
    ormLive_AskDialog dialog(QStringLiteral("邀请码"), code, kAskCopy, this);
    live::DialogSeam::exec(&dialog, code);
}

void MainWindow::onUserInfo(const QJsonObject& reply) {
    const QJsonValue value = reply.value(QStringLiteral("data"));
    if (!value.isObject()) {
        live::MessageBox::warning(this, QStringLiteral("警告"), QStringLiteral("获取用户信息失败"),
                                  QMessageBox::Ok);
        live::log::warn("{}: failed to get user info", "MainWindow::slotHttpEvent");
        onLogout();
        return;
    }
    const QJsonObject info = value.toObject();
    const QString avatarUrl = info.value(QStringLiteral("avatarUrl")).toString();
    user_->setInfo(config_ ? config_->dataDir() : QString(),
                   info.value(QStringLiteral("nickname")).toString(), avatarUrl,
                   info.value(QStringLiteral("phone")).toString());
    // A user without a picture keeps the default one; an empty address is no download.
    if (!user_->hasImage() && !user_->avatarUrl().isEmpty()) {
        net_->getByUrl(live::kTaskAvatarDownload, user_->avatarUrl());
    }
    updateUserInfo();
}

void MainWindow::onLiveStarted(const QJsonObject& reply) {
    if (reply.isEmpty() || reply.value(QStringLiteral("flag")).toInt(0) == 1) {
        return;
    }
    live::log::warn("{}: failed to start live", "MainWindow::slotHttpEvent");
    live::MessageBox::warning(this, tr("Warning"),
                              QStringLiteral("网络请求失败，APP端可能无法观看直播，\n"
                                             "请结束直播，检查网络，然后再开启直播"),
                              QMessageBox::Ok);
}

void MainWindow::onLiveStopped(const QJsonObject& reply) {
    if (reply.isEmpty()) {
        return;
    }
    if (Task* task = taskList()) {
        task->on_flush_clicked();
    }
}

void MainWindow::onAvatarChanged() {
    requestUserInfo();
    step(kStepProfile);
}

void MainWindow::onAvatarImage(const QByteArray& data) {
    user_->setImage(data);
    updateUserInfo();
}

void MainWindow::slotGeometryChanged(QRect avail) {
    if (avail.isEmpty()) {
        return;
    }
    int w = width();
    int h = height();
    if (w > avail.width() || h > avail.height()) {
        const float ratio = float(w) / float(h);
        if (ratio >= float(avail.width()) / float(avail.height())) {
            w = avail.width() / 10 * 10;
            h = int(float(w) / ratio);
        } else {
            h = avail.height() / 10 * 10;
            w = int(float(h) * ratio);
        }
        resize(w, h);
    }
    const QPoint topLeft(avail.x() + (avail.width() - w) / 2, avail.y() + (avail.height() - h) / 2);
    move(topLeft);
    if (config_) {
        config_->setGeometry(QRect(topLeft, QSize(w, h)));
    }
}

bool MainWindow::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::HoverEnter:
        case QEvent::HoverLeave:
        case QEvent::HoverMove:
            onHover(static_cast<QHoverEvent*>(event)->pos());
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void MainWindow::onHover(const QPoint& pos) {
    if (border_.resizing()) {
        // The pointer's screen position comes from the mouse events (eventFilter): a hover
        // position is relative to where the window was when the pointer moved, which is
        // stale once a top or left edge has moved the window.
        return;
    }
    if (windowState() == (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        return;
    }
    const BorderResizer::Region region = border_.regionAt(pos);
    border_.setRegion(region);
    setCursor(BorderResizer::cursorFor(region));
}

void MainWindow::applyGeometry(const QRect& rect) {
    setGeometry(rect);
    if (config_) {
        config_->setGeometry(rect);
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (border_.press(event->globalPos(), geometry())) {
            // The drag's moves go to whichever widget took the press; watch them all.
            qApp->installEventFilter(this);
        }
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    endResize();
    QWidget::mouseReleaseEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (border_.resizing()) {
        if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            applyGeometry(border_.dragTo(mouse->globalPos(), minimumSize()));
        } else if (event->type() == QEvent::MouseButtonRelease) {
            endResize();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::endResize() {
    qApp->removeEventFilter(this);
    border_.release(size());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The fit at start and maximising change the size without a mouse release.
    if (!border_.resizing()) {
        border_.updateRects(size());
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (currentStep_ < kStepRoom && requestedStep_ != kStepPlayback) {
        if (config_ && config_->runtime().reconfirm) {
            const QString text = QStringLiteral("您确定要关闭该程序吗？");
            ormLive_AskDialog dialog(QStringLiteral("询问"), text, kAskOk, this);
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
    titleBar_->setButtonVisible(kSetButton, false);
    step(kStepTasks);
}
