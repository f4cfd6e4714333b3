#pragma once

// The main window's test fixture: the demo service, a home of its own, the desktop browser
// caught, and a fresh window per test, started as main() does it and, where asked, signed in.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QNetworkCookieJar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "ChildProcess.h"
#include "app/AppContext.h"
#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "net/DemoService.h"
#include "net/IUserinfo.h"
#include "net/OrbHttpMgr.h"
#include "shell/DesktopBrowser.h"
#include "shell/MainWindow.h"
#include "shell/TitleBar.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebBridge.h"
#include "shell/web/OrbWebView.h"
#include "support/PageScript.h"
#include "support/Require.h"

using live::DialogSeam;

namespace mwtest {

constexpr int kWait = 30000;
const QString kNickname = QStringLiteral("演示主播");
const QStringList kCookies = {"ORB_SESSION", "ORB_TOKEN", "ORB_USER"};

inline QString shotPath(const QString& name) {
    const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + "/" + name;
}

// Runs a script in the shown page and waits for its result.
inline QVariant evalJs(MainWindow& w, const QString& script) {
    return PageScript::run(w.webView()->view()->page(), script, kWait);
}

// The browser's cookie database holds every sign-in cookie (it stores names as plain text).
inline bool cookiesOnDisk() {
    QFile db(QWebEngineProfile::defaultProfile()->persistentStoragePath() + "/Cookies");
    const QByteArray content = db.open(QIODevice::ReadOnly) ? db.readAll() : QByteArray();
    return std::all_of(kCookies.begin(), kCookies.end(),
                       [&](const QString& name) { return content.contains(name.toUtf8()); });
}

// The page at `path` is loaded and holds the element `id`.
inline bool pageShows(MainWindow& w, const QString& path, const QString& id) {
    return QTest::qWaitFor(
        [&] {
            return w.webView()->view()->url().path() == path &&
                   evalJs(w, QStringLiteral("!!document.getElementById('%1')").arg(id)).toBool();
        },
        kWait);
}

inline void clickInPage(MainWindow& w, const QString& id) {
    evalJs(w, QStringLiteral("document.getElementById('%1').click(); true").arg(id));
}

inline QList<QNetworkCookie> keptCookies(MainWindow& w) {
    QList<QNetworkCookie> out;
    w.webView()->getCookies(out);
    return out;
}

inline QStringList jarNames(MainWindow& w, const QString& base) {
    QStringList names;
    for (const QNetworkCookie& c : w.network()->cookieJar()->cookiesForUrl(QUrl(base))) {
        names << QString::fromUtf8(c.name());
    }
    names.sort();
    return names;
}

// The sign-in date the window will save (the runtime data only count as today's once
// they were read back at a start).
inline bool signInDateIsToday(MainWindow& w) {
    return w.config()->runtime().lastDate == QDate::currentDate().toString("yyyy-MM-dd");
}

inline QLabel* label(QWidget* parent, const char* name) {
    return parent->findChild<QLabel*>(QLatin1String(name));
}

inline QPushButton* button(QWidget* parent, const char* name) {
    return parent->findChild<QPushButton*>(QLatin1String(name));
}

inline QString firstTaskName(MainWindow& w) {
    QTableWidgetItem* item =
        w.taskList()->findChild<QTableWidget*>(QStringLiteral("tableWidget"))->item(0, 0);
    return item ? item->text() : QString();
}

inline QPushButton* joinButton(MainWindow& w) {
    QWidget* cell =
        w.taskList()->findChild<QTableWidget*>(QStringLiteral("tableWidget"))->cellWidget(0, 3);
    return cell ? button(cell, "pushButton_jion") : nullptr;
}

inline QString shownText() {
    QStringList lines;
    for (const DialogSeam::Shown& s : DialogSeam::shown()) {
        lines << s.kind + "|" + s.title + "|" + s.text;
    }
    return lines.join("\n");
}

inline bool shown(const QString& kind, const QString& title, const QString& text) {
    return shownText().split('\n').contains(kind + "|" + title + "|" + text);
}

// The window as drawn, the browser's picture included.
inline QImage screenshot(MainWindow& w) {
    QTest::qWait(300);
    return w.grab().toImage();
}

// On the filled task list, the user in the title bar and the list's header, the sign-in
// cookies in the manager's jar, nothing said.
inline void verifySignedIn(MainWindow& w, const QString& base) {
    QTRY_VERIFY_WITH_TIMEOUT(!firstTaskName(w).isEmpty(), kWait);
    QCOMPARE(w.requestedStep(), uint8_t(MainWindow::kStepTasks));
    QVERIFY(w.taskList()->isVisible() && !w.webView()->isVisible());
    QCOMPARE(jarNames(w, base), kCookies);
    QTRY_COMPARE_WITH_TIMEOUT(label(w.titleBar(), "user_info")->text(), kNickname, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(w.userinfo()->hasImage(), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(label(w.taskList(), "user_name")->text(), kNickname, kWait);
    // The avatar is round: its corners are see-through.
    const QImage icon = label(w.titleBar(), "user_icon")->pixmap(Qt::ReturnByValue).toImage();
    QVERIFY(!icon.isNull() && qAlpha(icon.pixel(1, 1)) == 0);
    QVERIFY(label(w.taskList(), "user_image")->styleSheet().contains(w.userinfo()->avatarFile()));
    QVERIFY2(DialogSeam::shown().isEmpty(), qPrintable(shownText()));
}

}  // namespace mwtest

using namespace mwtest;

// Starts `w` as main() does, through a fresh application context kept in `context` (the
// one before closes its log first; the windows keep what it made).
inline int startClient(MainWindow& w, std::unique_ptr<AppContext>& context) {
    context.reset();
    context = std::make_unique<AppContext>();
    const int rc = context->start(QCoreApplication::applicationDirPath());
    return rc != 0 ? rc : w.start(context->config(), context->network(), context->user());
}

class MainWindowFixture : public QObject {
protected:
    DemoService service_;
    QTemporaryDir profiles_;
    QTemporaryDir home_;
    QList<QUrl> opened_;
    std::unique_ptr<AppContext> context_;
    // Keeps the browser profile up between the windows: one torn down and set up again in
    // one process trips over its own cookie database.
    std::unique_ptr<QWebEnginePage> keeper_;
    std::unique_ptr<MainWindow> window_;

    bool writeDeployment(const QJsonObject& changes = {}) {
        const QString dir = QCoreApplication::applicationDirPath() + "/data";
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

    // The next start shows the sign-in page, whatever sign-in an earlier test left.
    void forgetSignIn() {
        live::IConfig config;
        QVERIFY(writeDeployment());
        QCOMPARE(config.init(QCoreApplication::applicationDirPath() + "/data/config.json"), 0);
        QFile::remove(config.getPath(live::kPathUserData));
    }

    // A fresh window started with `changes` to the deployment.
    MainWindow& started(const QJsonObject& changes = {}) {
        window_ = std::make_unique<MainWindow>();
        if (!writeDeployment(changes) || startClient(*window_, context_) != 0) {
            qWarning("the window did not start");
        }
        return *window_;
    }

    // A fresh window on the task list, signed in by the cookies an earlier test left in the
    // browser or else by the page's success event; null when it did not get there.
    MainWindow* signedIn() {
        MainWindow& w = started();
        // Where it gets to is looked at next.
        static_cast<void>(
            QTest::qWaitFor([&] { return w.requestedStep() != MainWindow::kStepNone; }, kWait));
        if (w.requestedStep() == MainWindow::kStepSignIn) {
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

    // For initTestCase(): the service, the homes and the seams.
    void setUp() {
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
        keeper_ = std::make_unique<QWebEnginePage>(QWebEngineProfile::defaultProfile());
    }
    // For cleanup(): what a test changed goes with its window, whether it passed or not.
    void tearDown() {
        window_.reset();
        opened_.clear();
        DialogSeam::clearShown();
    }
    void tearDownAll() {
        context_.reset();
        keeper_.reset();
    }
};
