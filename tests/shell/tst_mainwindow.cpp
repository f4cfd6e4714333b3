// The main window end to end, the real browser engine against the demo service. A sign-in and
// the start after it each run in a child process sharing one profile folder, because the
// browser writes its cookies to disk only when its process ends.
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
        QVERIFY(screenshot(w).save(shotPath("mainwindow_signin.png")));

        evalJs(w,
               "document.getElementById('account').value = 'demo';"
               "document.getElementById('password').value = 'orb2024'; true");
        clickInPage(w, "login-button");
        // The page reports the sign-in, the check finds the cookies and the list follows.
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
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
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
        verifySignedIn(w, base_);
    }

    void newVersionAsksToSignInAgain() {
        MainWindow w;
        QCOMPARE(startClient(w, context_), 0);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepSignIn));
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
        w.findChild<QTimer*>("cookieCheck")->stop();  // the ticks are counted here, one call each
        for (int tick = 1; tick <= 25; ++tick) {
            w.checkCookieReady();
        }
        // Two entries of one name are still one cookie: the third never arrived.
        QVERIFY2(DialogSeam::shown().isEmpty(), qPrintable(shownText()));
        w.checkCookieReady();
        QCOMPARE(shownText(), QString("critical|错误|无法获取Cookie信息，请重新登录"));
        QVERIFY(keptCookies(w).isEmpty());
        QVERIFY(!signInDateIsToday(w));
        QVERIFY(pageShows(w, "/login", "login-form"));

        // About: its download button goes to the desktop's browser; closing it returns to the
        // sign-in page.
        w.slotlTitleClicked(TitleBar::kAboutButton);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepAbout));
        QVERIFY(pageShows(w, "/about", "download"));
        clickInPage(w, "download");
        QTRY_COMPARE_WITH_TIMEOUT(opened_, QList<QUrl>{QUrl(service_.baseUrl() + "download")},
                                  kWait);
        clickInPage(w, "close");
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepSignIn), kWait);
        QVERIFY(pageShows(w, "/login", "login-form"));
    }

    void repliesBecomeMessagesAndTheWindowFitsAndResizes() {
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

        // An invitation code is shown to copy.
        DialogSeam::clearShown();
        net->sendReq(live::kTaskToInvite, {"1001"});
        QTRY_COMPARE_WITH_TIMEOUT(DialogSeam::shown().size(), 1, kWait);
        QCOMPARE(DialogSeam::shown().first().title, QString("邀请码"));
        QVERIFY(!DialogSeam::shown().first().text.isEmpty());

        // The window fits the screen and resizes by its borders.
        w.resize(1440, 900);
        w.slotGeometryChanged(QRect(0, 0, 1366, 728));
        QTRY_COMPARE_WITH_TIMEOUT(w.geometry(), QRect(107, 4, 1152, 720), kWait);

        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        w.slotGeometryChanged(screen);
        QTRY_COMPARE_WITH_TIMEOUT(w.size(), QSize(1152, 720), kWait);
        QWindow* win = w.windowHandle();
        // The real pointer stays out of the way; the press, move and release are given in
        // window coordinates of the moment, for fixed points on the screen.
        QCursor::setPos(screen.bottomRight());
        // The top edge lies over the title bar, which hands the press to the window.
        const QRect old = w.geometry();
        const QPoint from(300, 1), target = win->mapToGlobal(QPoint(300, -9));
        QTest::mouseMove(win, from);
        QTest::mouseMove(win, from + QPoint(1, 0));
        QTest::mousePress(win, Qt::LeftButton, {}, from);
        QTest::mouseMove(win, QPoint(300, -9));
        QTest::mouseRelease(win, Qt::LeftButton, {}, win->mapFromGlobal(target));
        QTRY_COMPARE_WITH_TIMEOUT(w.geometry().top(), old.top() - 10, kWait);
        QCOMPARE(w.geometry().bottom(), old.bottom());
        QCOMPARE(w.config()->runtime().geometry, w.geometry());
    }

    void avatarChangedFromTheProfilePage() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        const QString oldAvatar = w.userinfo()->avatarFile();
        QTest::mouseClick(label(w.taskList(), "user_image"), Qt::LeftButton);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepProfile));
        QVERIFY(pageShows(w, "/user/update", "change-avatar"));

        QSignalSpy reloaded(w.webView()->view(), &QWebEngineView::loadFinished);
        DialogSeam::presetAnswer(QStringLiteral(ORB_SOURCE_DIR "/tools/demo_assets/avatar.jpg"));
        clickInPage(w, "change-avatar");
        QTRY_COMPARE_WITH_TIMEOUT(requestCount("/api/user/avatar"), 1, kWait);
        QVERIFY(shown("file", "请选择数据文件", "*.*"));
        const QUrlQuery form(
            QString::fromUtf8(DemoService::rawBody(service_.lastRequest("/api/user/avatar"))));
        QVERIFY(form.queryItemValue("avatarUrl", QUrl::FullyDecoded).contains("/files/"));
        // The new picture comes down with the user's record and the profile page reloads.
        QTRY_VERIFY_WITH_TIMEOUT(w.userinfo()->avatarFile() != oldAvatar, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(w.userinfo()->hasImage(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!reloaded.isEmpty(), kWait);
        QVERIFY(pageShows(w, "/user/update", "done"));

        clickInPage(w, "done");
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
        QVERIFY(!w.webView()->isVisible());
    }

    void roomAndPlaybackCloseToTheListThenTheWindowCloses() {
        MainWindow* window = signedIn();
        QVERIFY(window);
        MainWindow& w = *window;
        const QString name = firstTaskName(w);
        QTest::mouseClick(joinButton(w), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.spinner()->isVisible(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(w.requestedStep(), uint8_t(MainWindow::kStepRoom), kWait);
        QVERIFY(w.isEnabled());
        auto* room = qobject_cast<RoomPlaceholder*>(w.room());
        QVERIFY(room && room->isVisible() && room->inRoom());
        QCOMPARE(label(room, "label_title")->text(), name);
        QVERIFY(label(room, "label_push")->text().contains("rtmp://127.0.0.1:1935/live/orb"));

        w.slotlTitleClicked(TitleBar::kSetButton);  // the live settings, answered by the seam
        QCOMPARE(DialogSeam::shown().size(), 1);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(!room->inRoom());
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepTasks));

        // Playback closes to the list; the list asks before it closes, where the user wants it.
        QTest::mouseClick(button(w.taskList(), "task_finish"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(joinButton(w)->text(), QString("直播回放"), kWait);
        QTest::mouseClick(joinButton(w), Qt::LeftButton);
        QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepPlayback));
        QVERIFY(pageShows(w, "/task/finished", "task-name"));
        QVERIFY(!w.close());
        QVERIFY(w.taskList()->isVisible());

        w.config()->runtime().reconfirm = true;
        DialogSeam::presetAnswer(int(QDialog::Rejected));
        QVERIFY(!w.close());
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
        QCOMPARE(window->requestedStep(), uint8_t(MainWindow::kStepSignIn));
        QVERIFY(jarNames(*window, service_.baseUrl()).isEmpty());
        QVERIFY(!label(window->titleBar(), "user_info")->isVisible());
        QVERIFY(!signInDateIsToday(*window));
        QVERIFY(pageShows(*window, "/login", "login-form"));
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
