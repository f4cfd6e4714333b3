// The main window end to end: the real browser engine on the X display that scripts/test
// provides, against the demo service. The deployment files go where start() reads them,
// beside this program. A sign-in and the start after it each run in a child process of
// their own that shares one profile folder, because the browser writes its cookies to disk
// only when its process ends. Every other test gets a fresh window, started and signed in
// as main() does it. Screenshots go to <build>/screenshots.
#include <QDialog>
#include <QJsonArray>
#include <QScreen>
#include <QUrlQuery>
#include <cstdio>

#include "MainWindowFixture.h"
#include "PrivateDisplay.h"
#include "room/RoomPlaceholder.h"
#include "shell/WaitingSpinnerWidget.h"

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
        QVERIFY(button(w.titleBar(), "about")->isVisible());
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
        QVERIFY(!w.findChild<QTimer*>("cookieCheck")->isActive());
        QVERIFY(!button(w.titleBar(), "about")->isVisible());
        verifySignedIn(w, base_);
        QVERIFY(signInDateIsToday(w));
        QVERIFY(screenshot(w).save(shotPath("mainwindow_tasks.png")));
        // The next start reads the cookies from the browser's store on disk, which the engine
        // writes on its own schedule; a busy machine can end this process before it has.
        QTRY_VERIFY_WITH_TIMEOUT(cookiesOnDisk(), 60000);
    }

    void nextStartGoesStraightToTheList() {
        MainWindow w;
        QCOMPARE(startClient(w, context_), 0);
        // No sign-in page: the stored cookies are loaded and checked behind a hidden view.
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepNone));
        QVERIFY(!w.webView()->isVisible());
        QVERIFY(w.findChild<QTimer*>("cookieCheck")->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
        verifySignedIn(w, base_);
    }

    void newVersionAsksToSignInAgain() {
        MainWindow w;
        QCOMPARE(startClient(w, context_), 0);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepSignIn));
        QVERIFY(!w.config()->isLastDateToday());
        QVERIFY(pageShows(w, "/login", "login-form"));
    }
};

class TestMainWindow : public MainWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void init() { DialogSeam::clearShown(); }
    void cleanup() { tearDown(); }
    void cleanupTestCase() { tearDownAll(); }

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

    void cookieCheckGivesUpOnTheTwentySixthTickThenAboutFromSignIn() {
        // The page leaves two of the three cookies the deployment requires.
        forgetSignIn();
        MainWindow& w =
            started({{"cookie_name", QJsonArray{"ORB_SESSION", "ORB_USER", "ORB_ABSENT"}}});
        QVERIFY(pageShows(w, "/login", "login-form"));
        QNetworkCookie session("ORB_SESSION", "first");
        setBrowserCookies({session, QNetworkCookie("ORB_USER", "7")});
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
                     qPrintable(QString::number(tick) + shownText()));
        }
        // Two entries of one name are still one cookie: the third never arrived.
        QVERIFY(signInDateIsToday(w));
        w.checkCookieReady();
        QCOMPARE(shownText(), QString("critical|错误|无法获取Cookie信息，请重新登录"));
        QVERIFY(keptCookies(w).isEmpty());
        QVERIFY(!signInDateIsToday(w));
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepSignIn));
        QVERIFY(pageShows(w, "/login", "login-form"));

        // About: its download button goes to the desktop's browser, closing the window closes
        // it, and closing it returns to the sign-in page.
        w.slotlTitleClicked(TitleBar::kAboutButton);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepAbout));
        QVERIFY(pageShows(w, "/about", "download"));
        clickInPage(w, "download");
        QTRY_COMPARE_WITH_TIMEOUT(opened_, QList<QUrl>{QUrl(service_.baseUrl() + "download")},
                                  kWait);
        w.slotJSEvent(OrbWebBridge::kOpenBrowser, QString());
        QCOMPARE(opened_.size(), 1);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        w.show();
        clickInPage(w, "close");
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepSignIn), kWait);
        QVERIFY(pageShows(w, "/login", "login-form"));
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
            "warning|Warning|"
            "网络请求失败，APP端可能无法观看直播，\n请结束直播，检查网络，然后再开启直播";
        DialogSeam::clearShown();
        w.slotHttpEvent(live::kTaskStartLive, R"({"msg":"success"})");
        QCOMPARE(shownText(), networkWarning);

        // Starting a broadcast for real: the service accepts a known task and refuses an
        // unknown one; only the refusal warns.
        auto net = w.network();
        DialogSeam::clearShown();
        net->sendReq(live::kTaskStartLive, {"1001"});
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("/api/live/start"), 1, kWait);
        net->sendReq(live::kTaskStartLive, {"99"});
        QTRY_COMPARE_WITH_TIMEOUT(shownText(), networkWarning, kWait);

        // Ending it reloads the list.
        const int lists = requestCount("/api/task/list");
        net->sendReq(live::kTaskStopLive, {"1001"});
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("/api/task/list"), lists + 1, kWait);

        // An invitation code is shown to copy; a refused request shows no empty code.
        DialogSeam::clearShown();
        net->sendReq(live::kTaskToInvite, {"1001"});
        QTRY_COMPARE_WITH_TIMEOUT(DialogSeam::shown().size(), 1, kWait);
        QCOMPARE(DialogSeam::shown().first().kind, QString("dialog"));
        QCOMPARE(DialogSeam::shown().first().title, QString("邀请码"));
        QVERIFY(!DialogSeam::shown().first().text.isEmpty());
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
        QVERIFY(text.open() && text.write("not a picture") > 0 && text.flush());
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
        QVERIFY(label(w.taskList(), "user_image")->styleSheet().contains(".jpg"));
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepProfile));
        QTRY_VERIFY_WITH_TIMEOUT(!reloaded.isEmpty(), kWait);
        QVERIFY(pageShows(w, "/user/update", "done"));

        clickInPage(w, "done");
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
        QVERIFY(!w.webView()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(w.webView()->view()->url().toString(), QString("about:blank"),
                                  kWait);
    }

    void enteringARoomAndClosingReturnsToTheList() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        const QString name = firstTaskName(w);
        QTest::mouseClick(joinButton(w), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.spinner()->isVisible(), kWait);
        QCOMPARE(w.spinner()->text(), QString("正在进入直播间,请稍后..."));
        QVERIFY(button(w.titleBar(), "set")->isVisible());
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
        QVERIFY(!button(w.titleBar(), "set")->isVisible());
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
        QCOMPARE(w.config()->runtime().geometry, w.geometry());

        // The bottom edge of the fitted size, which no release had measured yet.
        before = w.geometry();
        drag({90, before.height() - 2}, {90, before.height() - 32});
        QTRY_COMPARE_WITH_TIMEOUT(w.height(), before.height() - 30, kWait);
        QCOMPARE(w.geometry().top(), before.top());
    }

    void closingFromPlaybackAndFromTheList() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        QTest::mouseClick(button(w.taskList(), "task_finish"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(joinButton(w)->text(), QString("直播回放"), kWait);
        QTest::mouseClick(joinButton(w), Qt::LeftButton);
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
    }

    void signingOut_data() {
        QTest::addColumn<bool>("byReply");
        QTest::newRow("user reply without data") << true;
        QTest::newRow("list's sign-out button") << false;
    }
    void signingOut() {
        QFETCH(bool, byReply);
        MainWindow* window = signedIn();
        QVERIFY(window);
        if (byReply) {
            window->slotHttpEvent(live::kTaskGetUser, R"({"flag":0,"msg":"未登录"})");
            QCOMPARE(shownText(), QString("warning|警告|获取用户信息失败"));
            QString nickname, avatar;
            window->userinfo()->getDisplay(nickname, avatar);
            QVERIFY(nickname.isEmpty());
        } else {
            QTest::mouseClick(button(window->taskList(), "logout"), Qt::LeftButton);
            QVERIFY(DialogSeam::shown().isEmpty());
        }
        verifySignedOut(*window, service_.baseUrl());
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
    if (child) {
        ChildFlows flows;
        return QTest::qExec(&flows, QStringList{argv[0], QString::fromLocal8Bit(argv[2])});
    }
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
