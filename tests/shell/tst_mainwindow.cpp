// The main window end to end: the real browser engine on the X display that scripts/test
// provides, against the demo service. The deployment files go where start() reads them,
// beside this program. A sign-in and the start after it each run in a child process of
// their own that shares one profile folder, because the browser writes its cookies to disk
// only when its process ends. Screenshots go to <build>/screenshots.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QNetworkCookieJar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>
#include <cstdio>

#include "ChildProcess.h"
#include "PrivateDisplay.h"
#include "app/AppContext.h"
#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "net/DemoService.h"
#include "net/IUserinfo.h"
#include "net/OrbHttpMgr.h"
#include "room/RoomPlaceholder.h"
#include "shell/DesktopBrowser.h"
#include "shell/MainWindow.h"
#include "shell/TitleBar.h"
#include "shell/WaitingSpinnerWidget.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebBridge.h"
#include "shell/web/OrbWebView.h"
#include "support/Require.h"

using live::DialogSeam;

namespace {

constexpr int kWait = 30000;
const QString kNickname = QStringLiteral("演示主播");

QString shotPath(const QString& name) {
    const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + "/" + name;
}

QString pageUrl(MainWindow& w) {
    return w.webView()->view()->url().toString();
}

// Runs a script in the shown page and waits for its result.
QVariant evalJs(MainWindow& w, const QString& script) {
    QVariant result;
    bool done = false;
    w.webView()->view()->page()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, kWait) ? result : QVariant();
}

// The browser's cookie database holds every one of `names` (it stores names as plain text).
bool cookiesOnDisk(const QStringList& names) {
    QFile db(QWebEngineProfile::defaultProfile()->persistentStoragePath() + "/Cookies");
    if (!db.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray content = db.readAll();
    for (const QString& name : names) {
        if (!content.contains(name.toUtf8())) {
            return false;
        }
    }
    return true;
}

// The page at `path` is loaded and holds the element `id`.
bool pageShows(MainWindow& w, const QString& path, const QString& id) {
    return QTest::qWaitFor(
        [&] {
            return QUrl(pageUrl(w)).path() == path &&
                   evalJs(w, QStringLiteral("!!document.getElementById('%1')").arg(id)).toBool();
        },
        kWait);
}

void clickInPage(MainWindow& w, const QString& id) {
    evalJs(w, QStringLiteral("document.getElementById('%1').click(); true").arg(id));
}

QList<QNetworkCookie> keptCookies(MainWindow& w) {
    QList<QNetworkCookie> out;
    w.webView()->getCookies(out);
    return out;
}

QStringList jarNames(MainWindow& w, const QString& base) {
    QStringList names;
    for (const QNetworkCookie& c : w.network()->cookieJar()->cookiesForUrl(QUrl(base))) {
        names << QString::fromUtf8(c.name());
    }
    names.sort();
    return names;
}

// The sign-in date the window will save (the runtime data only count as today's once
// they were read back at a start).
bool signInDateIsToday(MainWindow& w) {
    return w.config()->runtime().lastDate == QDate::currentDate().toString("yyyy-MM-dd");
}

QLabel* label(QWidget* parent, const char* name) {
    return parent->findChild<QLabel*>(QLatin1String(name));
}

QTableWidget* table(MainWindow& w) {
    return w.taskList()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
}

QString firstTaskName(MainWindow& w) {
    QTableWidgetItem* item = table(w)->item(0, 0);
    return item ? item->text() : QString();
}

QPushButton* rowButton(MainWindow& w, int row, const char* name) {
    QWidget* cell = table(w)->cellWidget(row, 3);
    return cell ? cell->findChild<QPushButton*>(QLatin1String(name)) : nullptr;
}

QString shownText() {
    QStringList lines;
    for (const DialogSeam::Shown& s : DialogSeam::shown()) {
        lines << s.kind + "|" + s.title + "|" + s.text;
    }
    return lines.join("\n");
}

bool shown(const QString& kind, const QString& title, const QString& text) {
    for (const DialogSeam::Shown& s : DialogSeam::shown()) {
        if (s.kind == kind && s.title == title && s.text == text) {
            return true;
        }
    }
    return false;
}

// A circular picture: the corners are see-through, the middle is not.
bool isCircular(const QImage& image) {
    return !image.isNull() && qAlpha(image.pixel(1, 1)) == 0 &&
           qAlpha(image.pixel(image.width() - 2, image.height() - 2)) == 0 &&
           qAlpha(image.pixel(image.width() / 2, image.height() / 2)) == 255;
}

// The window as drawn, the browser's picture included.
QImage screenshot(MainWindow& w) {
    QTest::qWait(300);
    return w.grab().toImage();
}

// Waits until `replies` (a spy on the window's manager, made before the request) hold an
// answer of task `type` and the window has handled it: it hears replies through a queued
// connection, so one more turn of the loop.
bool handled(QSignalSpy& replies, uint8_t type) {
    const bool answered = QTest::qWaitFor(
        [&] {
            for (const QList<QVariant>& reply : replies) {
                if (reply.at(0).value<uint8_t>() == type) {
                    return true;
                }
            }
            return false;
        },
        kWait);
    QCoreApplication::processEvents();
    return answered;
}

// Signed out: the sign-in page, no cookies, no user, no sign-in date.
void verifySignedOut(MainWindow& w, const QString& base) {
    QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepSignIn));
    QVERIFY(jarNames(w, base).isEmpty());
    QVERIFY(!label(w.titleBar(), "user_info")->isVisible());
    QVERIFY(w.titleBar()->findChild<QPushButton*>("about")->isVisible());
    QVERIFY(!signInDateIsToday(w));
    QVERIFY(pageShows(w, "/login", "login-form"));
}

// The user shows in the title bar and in the task list's header, with the round avatar.
void verifyUserShown(MainWindow& w) {
    QTRY_COMPARE_WITH_TIMEOUT(label(w.titleBar(), "user_info")->text(), kNickname, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(w.userinfo()->hasImage(), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(label(w.taskList(), "user_name")->text(), kNickname, kWait);
    QVERIFY(label(w.titleBar(), "user_info")->isVisible());
    const QImage avatar(w.userinfo()->avatarFile());
    QCOMPARE(avatar.size(), QSize(62, 62));
    QVERIFY(isCircular(avatar));
    QVERIFY(isCircular(label(w.titleBar(), "user_icon")->pixmap(Qt::ReturnByValue).toImage()));
    QVERIFY(label(w.taskList(), "user_image")->styleSheet().contains(w.userinfo()->avatarFile()));
}

void verifyListFilled(MainWindow& w) {
    QTRY_VERIFY_WITH_TIMEOUT(!firstTaskName(w).isEmpty(), kWait);
    QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepTasks));
    QVERIFY(w.taskList()->isVisible());
    QVERIFY(!w.webView()->isVisible());
}

}  // namespace

// Starts `w` as main() does, through a fresh application context kept in `context` (the
// one before closes its log first; the windows keep what it made).
int startClient(MainWindow& w, std::unique_ptr<AppContext>& context) {
    context.reset();
    context = std::make_unique<AppContext>();
    const int rc = context->start(QCoreApplication::applicationDirPath());
    return rc != 0 ? rc : w.start(context->config(), context->network(), context->user());
}

// The flows that need a browser process of their own; the parent runs each one as
// "--child <function>" and checks that it passed.
class ChildFlows : public QObject {
    Q_OBJECT

    QString base_ = qEnvironmentVariable("ORB_TEST_DEMO_BASE");
    std::unique_ptr<AppContext> context_;

private slots:
    void init() {
        DialogSeam::setHeadless(true);
        DialogSeam::clearShown();
    }

    void signInOnThePage() {
        MainWindow w;
        QCOMPARE(startClient(w, context_), 0);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepSignIn));
        QVERIFY(pageShows(w, "/login", "login-form"));
        QVERIFY(!label(w.titleBar(), "user_info")->isVisible());
        QVERIFY(w.titleBar()->findChild<QPushButton*>("about")->isVisible());
        const QImage signInShot = screenshot(w);
        QVERIFY(signInShot.save(shotPath("mainwindow_signin.png")));
        // The title bar is painted in its own colour, not the page's.
        QCOMPARE(QColor(signInShot.pixel(w.width() / 2, 5)), QColor(44, 44, 44));

        evalJs(w,
               "document.getElementById('account').value = 'demo';"
               "document.getElementById('password').value = 'orb2024'; true");
        clickInPage(w, "login-button");
        // The page reports the sign-in, the check finds the cookies and the list follows.
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
        QCOMPARE(jarNames(w, base_), QStringList({"ORB_SESSION", "ORB_TOKEN", "ORB_USER"}));
        QVERIFY(!w.findChild<QTimer*>("cookieCheck")->isActive());
        QVERIFY(!w.titleBar()->findChild<QPushButton*>("about")->isVisible());
        verifyListFilled(w);
        verifyUserShown(w);
        QVERIFY(signInDateIsToday(w));
        QVERIFY(DialogSeam::shown().isEmpty());

        QVERIFY(screenshot(w).save(shotPath("mainwindow_tasks.png")));
        // The next start reads the cookies from the browser's store on disk, which the engine
        // writes on its own schedule; a busy machine can end this process before it has.
        QTRY_VERIFY_WITH_TIMEOUT(cookiesOnDisk({"ORB_SESSION", "ORB_TOKEN", "ORB_USER"}), 60000);
    }

    void nextStartGoesStraightToTheList() {
        MainWindow w;
        QCOMPARE(startClient(w, context_), 0);
        // No sign-in page: the stored cookies are loaded and checked behind a hidden view.
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepNone));
        QVERIFY(!w.webView()->isVisible());
        QVERIFY(w.findChild<QTimer*>("cookieCheck")->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
        QCOMPARE(jarNames(w, base_), QStringList({"ORB_SESSION", "ORB_TOKEN", "ORB_USER"}));
        verifyListFilled(w);
        verifyUserShown(w);
        QVERIFY(DialogSeam::shown().isEmpty());
    }

    void newVersionAsksToSignInAgain() {
        MainWindow w;
        QCOMPARE(startClient(w, context_), 0);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepSignIn));
        QVERIFY(!w.config()->isLastDateToday());
        QVERIFY(pageShows(w, "/login", "login-form"));
    }
};

class TestMainWindow : public QObject {
    Q_OBJECT

    DemoService service_;
    QTemporaryDir profiles_;
    QTemporaryDir home_;
    QList<QUrl> opened_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> giveUpWindow_;
    std::unique_ptr<MainWindow> window_;

    static QString programDir() { return QCoreApplication::applicationDirPath(); }

    bool writeDeployment(const QJsonObject& changes = {}) {
        const QString dir = programDir() + "/data";
        QDir().mkpath(dir);
        return !DemoService::writeConfigFile(dir, changes).isEmpty() &&
               !service_.writeNetworkFile(dir).isEmpty();
    }

    int runChild(const QString& function, const QString& version = QStringLiteral("1.0.0")) {
        ChildProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
            env.insert(name, profiles_.path() + "/" + name);
        }
        env.insert("ORB_TEST_DEMO_BASE", service_.baseUrl());
        env.insert("ORB_TEST_APP_VERSION", version);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--child", function});
        if (!child.waitForFinished(90000)) {
            child.stop();
            return -1;
        }
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }

    // The service's sign-in cookies handed to the browser as a sign-in would leave them.
    void setBrowserCookies(const QList<QNetworkCookie>& cookies) {
        for (const QNetworkCookie& c : cookies) {
            QWebEngineProfile::defaultProfile()->cookieStore()->setCookie(c,
                                                                          QUrl(service_.baseUrl()));
        }
    }

    int requestCount(const QString& path) { return service_.requests(path).size(); }

    // A started window on the task list, signed in by the page's success event; null when
    // it did not get there.
    MainWindow* signedIn() {
        if (!window_) {
            window_ = std::make_unique<MainWindow>();
            if (!writeDeployment() || startClient(*window_, context_) != 0) {
                return nullptr;
            }
        }
        MainWindow& w = *window_;
        if (w.requestedStep() != MainWindow::kStepTasks) {
            setBrowserCookies(service_.signIn());
            if (!QTest::qWaitFor([&] { return keptCookies(w).size() >= 3; }, kWait)) {
                return nullptr;
            }
            w.slotJSEvent(OrbWebBridge::kSignedIn, QString());
        }
        const bool ready = QTest::qWaitFor(
            [&] {
                return w.requestedStep() == MainWindow::kStepTasks && !firstTaskName(w).isEmpty() &&
                       w.userinfo()->hasImage();
            },
            kWait);
        DialogSeam::clearShown();
        return ready ? &w : nullptr;
    }

private slots:
    void initTestCase() {
        ORB_REQUIRE(!qEnvironmentVariableIsEmpty("DISPLAY"),
                    "needs the X display that scripts/test provides");
        QVERIFY(service_.start());
        QVERIFY(profiles_.isValid());
        // A sign-in kept from an earlier run would skip the sign-in page.
        QVERIFY(home_.isValid());
        for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
            qputenv(name, (home_.path() + "/" + name).toUtf8());
        }
        DialogSeam::setHeadless(true);
        // Closing the window must not end the test's own event loops.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        DesktopBrowser::setHandler([this](const QUrl& url) {
            opened_ << url;
            return true;
        });
    }
    void init() { DialogSeam::clearShown(); }

    void signInOnThePageThenTheNextStartSkipsIt() {
        QVERIFY(writeDeployment());
        QCOMPARE(runChild("signInOnThePage"), 0);
        const int signInPages = requestCount("/login");
        QVERIFY(signInPages >= 2);  // the form, and the form's post
        QCOMPARE(runChild("nextStartGoesStraightToTheList"), 0);
        QCOMPARE(requestCount("/login"), signInPages);
        // The stored cookies went with the user request.
        const QJsonObject userRequest = service_.lastRequest("/api/user/info");
        QVERIFY(DemoService::header(userRequest, "Cookie").contains("ORB_SESSION="));
        QCOMPARE(runChild("newVersionAsksToSignInAgain", "1.0.1"), 0);
    }

    void cookieCheckGivesUpOnTheTwentySixthTick() {
        // The page leaves two of the three cookies the deployment requires.
        QVERIFY(writeDeployment(
            {{"cookie_name", QJsonArray{"ORB_SESSION", "ORB_USER", "ORB_ABSENT"}}}));
        // Kept to the end: a browser profile torn down and set up again in one process
        // trips over its own cookie database.
        giveUpWindow_ = std::make_unique<MainWindow>();
        MainWindow& w = *giveUpWindow_;
        QCOMPARE(startClient(w, context_), 0);
        QVERIFY(pageShows(w, "/login", "login-form"));
        QNetworkCookie session("ORB_SESSION", "first");
        QNetworkCookie user("ORB_USER", "7");
        setBrowserCookies({session, user});
        session.setValue("second");
        setBrowserCookies({session});
        QTRY_COMPARE_WITH_TIMEOUT(keptCookies(w).size(), 3, kWait);

        w.slotJSEvent(OrbWebBridge::kSignedIn, QString());
        QTimer* timer = w.findChild<QTimer*>("cookieCheck");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 500);
        timer->stop();  // the ticks are counted here, one call each
        for (int tick = 1; tick <= 25; ++tick) {
            w.checkCookieReady();
            QVERIFY2(DialogSeam::shown().isEmpty(),
                     qPrintable(QString::number(tick) + ": " + shownText()));
        }
        // Two entries of one name are still one cookie: the third never arrived.
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepSignIn));
        QVERIFY(signInDateIsToday(w));
        w.checkCookieReady();
        QCOMPARE(DialogSeam::shown().size(), 1);
        QVERIFY(shown("critical", "错误", "无法获取Cookie信息，请重新登录"));
        QVERIFY(keptCookies(w).isEmpty());
        QVERIFY(!signInDateIsToday(w));
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepSignIn));
        QVERIFY(pageShows(w, "/login", "login-form"));

        // About from the sign-in page: its download button goes to the desktop's browser,
        // closing it returns to the sign-in page, and closing the window closes it.
        w.slotlTitleClicked(TitleBar::kAboutButton);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepAbout));
        QVERIFY(pageShows(w, "/about", "download"));
        clickInPage(w, "download");
        QTRY_COMPARE_WITH_TIMEOUT(opened_.size(), 1, kWait);
        QCOMPARE(opened_.first(), QUrl(service_.baseUrl() + "download"));
        w.slotJSEvent(OrbWebBridge::kOpenBrowser, QString());
        QCOMPARE(opened_.size(), 1);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        w.show();
        clickInPage(w, "close");
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepSignIn), kWait);
        QVERIFY(pageShows(w, "/login", "login-form"));
        w.hide();
    }

    void repliesBecomeMessages() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        const QString before = firstTaskName(w);
        w.slotHttpEvent(live::kTaskListRoom, QByteArray());
        QVERIFY(shown("warning", "警告", "获取任务信息失败"));
        QCOMPARE(firstTaskName(w), before);

        const QString networkWarning =
            "网络请求失败，APP端可能无法观看直播，\n请结束直播，检查网络，然后再开启直播";
        DialogSeam::clearShown();
        w.slotHttpEvent(live::kTaskStartLive, R"({"msg":"success"})");
        QVERIFY(shown("warning", "Warning", networkWarning));

        // Starting a broadcast for real: the service accepts a known task and refuses an
        // unknown one; only the refusal warns.
        auto net = w.network();
        const int taskId = 1001;
        DialogSeam::clearShown();
        live::OrbHttpMgr::IParamID start(live::kTaskStartLive, taskId);
        net->sendReq(live::kTaskStartLive, net->buildArgs(&start));
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("/api/live/start"), 1, kWait);
        live::OrbHttpMgr::IParamID unknown(live::kTaskStartLive, 99);
        net->sendReq(live::kTaskStartLive, net->buildArgs(&unknown));
        QTRY_VERIFY_WITH_TIMEOUT(shown("warning", "Warning", networkWarning), kWait);
        QVERIFY2(DialogSeam::shown().size() == 1, qPrintable(shownText()));

        // Ending it reloads the list.
        const int lists = requestCount("/api/task/list");
        live::OrbHttpMgr::IParamID stop(live::kTaskStopLive, taskId);
        net->sendReq(live::kTaskStopLive, net->buildArgs(&stop));
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("/api/task/list"), lists + 1, kWait);

        // An invitation code is shown to copy; a refused request shows no empty code.
        DialogSeam::clearShown();
        net->sendReq(live::kTaskToInvite, {QString::number(taskId)});
        QTRY_COMPARE_WITH_TIMEOUT(DialogSeam::shown().size(), 1, kWait);
        const DialogSeam::Shown invite = DialogSeam::shown().first();
        QCOMPARE(invite.kind, QString("dialog"));
        QCOMPARE(invite.title, QString("邀请码"));
        QVERIFY(!invite.text.isEmpty());
        QSignalSpy refused(net.get(), &live::INetwork::signalReplyInfo);
        net->sendReq(live::kTaskToInvite, {"99"});
        QVERIFY(handled(refused, live::kTaskToInvite));
        QCOMPARE(DialogSeam::shown().size(), 1);

        // A user without a picture keeps the default one and nothing is downloaded.
        DialogSeam::clearShown();
        w.slotHttpEvent(live::kTaskGetUser,
                        R"({"data":{"nickname":"无头像","avatarUrl":"","phone":""}})");
        QCOMPARE(net->pendingReplies(), 0);  // a download would be on its way now
        QVERIFY(DialogSeam::shown().isEmpty());
        QCOMPARE(label(w.titleBar(), "user_info")->text(), QString("无头像"));
    }

    void avatarChangedFromTheProfilePage() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        const QString oldAvatar = w.userinfo()->avatarFile();
        QTest::mouseClick(label(w.taskList(), "user_image"), Qt::LeftButton);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepProfile));
        QVERIFY(pageShows(w, "/user/update", "change-avatar"));
        QVERIFY(w.webView()->isVisible());

        // Not a picture: the service refuses it and the avatar is left alone.
        QTemporaryFile text;
        QVERIFY(text.open());
        text.write("not a picture");
        text.flush();
        DialogSeam::presetAnswer(text.fileName());
        QSignalSpy refused(w.network().get(), &live::INetwork::signalReplyInfo);
        clickInPage(w, "change-avatar");
        QVERIFY(handled(refused, live::kTaskUserImage));
        QVERIFY(shown("file", "请选择数据文件", "*.*"));
        QCOMPARE(w.network()->pendingReplies(), 0);  // no avatar change on its way
        QCOMPARE(requestCount("/api/user/avatar"), 0);

        QSignalSpy reloaded(w.webView()->view(), &QWebEngineView::loadFinished);
        DialogSeam::presetAnswer(QStringLiteral(ORB_SOURCE_DIR "/tools/demo_assets/avatar.jpg"));
        clickInPage(w, "change-avatar");
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("/api/user/avatar"), 1, kWait);
        const QUrlQuery form(
            QString::fromUtf8(DemoService::rawBody(service_.lastRequest("/api/user/avatar"))));
        QVERIFY(form.queryItemValue("avatarUrl", QUrl::FullyDecoded).contains("/files/"));
        // The new picture comes down with the user's record and the profile page reloads.
        QTRY_VERIFY_WITH_TIMEOUT(w.userinfo()->avatarFile() != oldAvatar, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(w.userinfo()->hasImage(), kWait);
        QVERIFY(w.userinfo()->avatarFile().endsWith(".jpg"));
        QVERIFY(label(w.taskList(), "user_image")->styleSheet().contains(".jpg"));
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepProfile));
        QTRY_VERIFY_WITH_TIMEOUT(!reloaded.isEmpty(), kWait);
        QVERIFY(pageShows(w, "/user/update", "done"));

        clickInPage(w, "done");
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
        QVERIFY(!w.webView()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(pageUrl(w), QString("about:blank"), kWait);
    }

    void enteringARoomAndClosingReturnsToTheList() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        const QString name = firstTaskName(w);
        QTest::mouseClick(rowButton(w, 0, "pushButton_jion"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.spinner()->isVisible(), kWait);
        QCOMPARE(w.spinner()->text(), QString("正在进入直播间,请稍后..."));
        QVERIFY(w.titleBar()->findChild<QPushButton*>("set")->isVisible());
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepTasks));
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepRoom), kWait);
        QVERIFY(!w.spinner()->isVisible());
        QVERIFY(w.isEnabled());

        auto* room = qobject_cast<RoomPlaceholder*>(w.room());
        QVERIFY(room && room->isVisible() && room->inRoom());
        QCOMPARE(room->edition(), RoomPlaceholder::kStudio);
        QCOMPARE(label(room, "label_title")->text(), name);
        QVERIFY(label(room, "label_push")->text().contains("rtmp://127.0.0.1:1935/live/orb"));

        w.slotlTitleClicked(TitleBar::kSetButton);  // the live settings, answered by the seam
        QCOMPARE(DialogSeam::shown().size(), 1);
        QCOMPARE(DialogSeam::shown().first().kind, QString("dialog"));
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(!room->inRoom());
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepTasks));
        QVERIFY(!w.titleBar()->findChild<QPushButton*>("set")->isVisible());
    }

    void fitsTheScreenAndResizesByItsBorders() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        w.resize(1440, 900);
        w.slotGeometryChanged(QRect(0, 0, 1366, 728));
        QTRY_COMPARE_WITH_TIMEOUT(w.geometry(), QRect(107, 4, 1152, 720), kWait);
        QCOMPARE(w.config()->runtime().geometry, QRect(107, 4, 1152, 720));

        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        w.slotGeometryChanged(screen);
        QTRY_COMPARE_WITH_TIMEOUT(w.size(), QSize(1152, 720), kWait);
        QWindow* win = w.windowHandle();
        // The real pointer stays out of the way; the press, move and release are given in
        // window coordinates of the moment, for fixed points on the screen.
        QCursor::setPos(screen.bottomRight());
        auto drag = [&](QPoint from, QPoint to) {
            const QPoint target = win->mapToGlobal(to);
            QTest::mouseMove(win, from);
            QTest::mouseMove(win, from + QPoint(1, 0));
            QTest::mousePress(win, Qt::LeftButton, {}, from);
            QTest::mouseMove(win, to);
            QTest::mouseRelease(win, Qt::LeftButton, {}, win->mapFromGlobal(target));
        };

        // The top edge lies over the title bar, which hands the press to the window.
        QRect before = w.geometry();
        drag({300, 1}, {300, -9});
        QTRY_COMPARE_WITH_TIMEOUT(w.geometry().top(), before.top() - 10, kWait);
        QCOMPARE(w.geometry().bottom(), before.bottom());
        QCOMPARE(w.height(), before.height() + 10);
        QCOMPARE(w.config()->runtime().geometry, w.geometry());

        // The bottom edge of the fitted size, which no release had measured yet.
        before = w.geometry();
        drag({90, before.height() - 2}, {90, before.height() - 32});
        QTRY_COMPARE_WITH_TIMEOUT(w.height(), before.height() - 30, kWait);
        QCOMPARE(w.geometry().top(), before.top());

        w.slotGeometryChanged(screen);
        w.resize(1152, 720);
    }

    void closingFromPlaybackAndFromTheList() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        QTest::mouseClick(w.taskList()->findChild<QPushButton*>("task_finish"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rowButton(w, 0, "pushButton_jion")->text(), QString("直播回放"),
                                  kWait);
        QTest::mouseClick(rowButton(w, 0, "pushButton_jion"), Qt::LeftButton);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepPlayback));
        QVERIFY(pageShows(w, "/task/finished", "task-name"));
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepTasks));
        QVERIFY(w.taskList()->isVisible());

        w.config()->runtime().reconfirm = true;
        DialogSeam::presetAnswer(int(QDialog::Rejected));
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(shown("dialog", "询问", "您确定要关闭该程序吗？"));
        DialogSeam::presetAnswer(int(QDialog::Accepted));
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());

        w.show();
        w.config()->runtime().reconfirm = false;
        DialogSeam::clearShown();
        QVERIFY(w.close());
        QVERIFY(DialogSeam::shown().isEmpty());
        w.show();
    }

    void getUserWithoutDataSignsOut() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        w.slotHttpEvent(live::kTaskGetUser, R"({"flag":0,"msg":"未登录"})");
        QVERIFY(shown("warning", "警告", "获取用户信息失败"));
        QString nickname, avatar;
        w.userinfo()->getDisplay(nickname, avatar);
        QVERIFY(nickname.isEmpty());
        verifySignedOut(w, service_.baseUrl());
    }

    void signOutFromTheList() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        QTest::mouseClick(window->taskList()->findChild<QPushButton*>("logout"), Qt::LeftButton);
        verifySignedOut(*window, service_.baseUrl());
        QVERIFY(DialogSeam::shown().isEmpty());
    }

    void cleanupTestCase() {
        window_.reset();
        giveUpWindow_.reset();
    }
};

int main(int argc, char** argv) {
    // The test moves the pointer and drags the window: on a display of its own that neither
    // disturbs nor is disturbed by the tests beside it. Its children inherit the display.
    PrivateDisplay display;
    const bool child = argc == 3 && QByteArray(argv[1]) == "--child";
    if (!child && !qEnvironmentVariableIsEmpty("DISPLAY") && !display.start()) {
        std::fprintf(stderr, "FAIL: no private display: %s\n", qPrintable(display.failure()));
        return 1;
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("kelvarin"));
    QCoreApplication::setApplicationName(QStringLiteral("orblive"));
    QCoreApplication::setApplicationVersion(
        qEnvironmentVariable("ORB_TEST_APP_VERSION", QStringLiteral("1.0.0")));
    if (argc == 3 && QByteArray(argv[1]) == "--child") {
        ChildFlows flows;
        return QTest::qExec(&flows, QStringList{argv[0], QString::fromLocal8Bit(argv[2])});
    }
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
