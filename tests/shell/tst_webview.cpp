#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtTest>

#include "LoopbackHttpServer.h"
#include "core/Log.h"
#include "net/OrbHttpMgr.h"
#include "shell/web/OrbWebBridge.h"
#include "shell/web/OrbWebView.h"

namespace {

const QByteArray kChannelScript = "<script src=\"qrc:///qtwebchannel/qwebchannel.js\"></script>\n";

QByteArray page(const QByteArray& script) {
    return "<!doctype html><html><head><meta charset=\"utf-8\">" + kChannelScript +
           "</head><body><p>test page</p><script>" + script + "</script></body></html>";
}

int countNamed(const QList<QNetworkCookie>& cookies, const QByteArray& name) {
    int n = 0;
    for (const QNetworkCookie& c : cookies) {
        n += c.name() == name ? 1 : 0;
    }
    return n;
}

QList<QNetworkCookie> keptCookies(OrbWebView& view) {
    QList<QNetworkCookie> out;
    view.getCookies(out);
    return out;
}

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Calls every bridge method once, in this order.
const QByteArray kBridgeScript =
    "new QWebChannel(qt.webChannelTransport, function (channel) {\n"
    "    var b = channel.objects.orbnet_webview;\n"
    "    b.orbPcClientSuccess();\n"
    "    b.orbPcClientLogOutput('x');\n"
    "    b.closeLoginModal();\n"
    "    b.closeAbout();\n"
    "    b.openDefaultBrowser('http://127.0.0.1/app.apk');\n"
    "    b.openDefaultBrowser('');\n"
    "    b.orbUploadAvahost();\n"
    "});\n";

}  // namespace

class TestWebView : public QObject {
    Q_OBJECT

    LoopbackHttpServer server_;

    // Runs this program as a browser child in `mode`; returns the lines it printed.
    QStringList runChild(const QString& mode, const QString& profile, const QString& marker) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", profile + "/data");
        env.insert("XDG_CACHE_HOME", profile + "/cache");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--child", mode, server_.url(""), marker});
        // The child talks to this process's server, so keep serving while it runs.
        if (!QTest::qWaitFor([&child] { return child.state() == QProcess::NotRunning; }, 150000)) {
            child.kill();
            child.waitForFinished();
            return {"timeout"};
        }
        return QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase() {
        QVERIFY(server_.start());
        server_.route("/bridge.html", {"text/html; charset=utf-8", {}, page(kBridgeScript)});
        server_.route("/login", {"text/html; charset=utf-8",
                                 {{"Set-Cookie", "sid=s1; Path=/; HttpOnly"},
                                  {"Set-Cookie", "uid=42; Path=/"},
                                  {"Set-Cookie", "keep=1; Path=/; Max-Age=3600"}},
                                 page("document.cookie = 'js=1; path=/';")});
        server_.route("/after", {"text/html; charset=utf-8",
                                 {{"Set-Cookie", "after=1; Path=/; Max-Age=3600"}},
                                 page("")});
        server_.route("/plain.html", {"text/html; charset=utf-8", {}, page("")});
        server_.route("/signin", {"text/html; charset=utf-8",
                                  {{"Set-Cookie", "orbsid=S3SSION-SECRET-VALUE; Path=/; HttpOnly"}},
                                  page("")});
        server_.route("/probe.js", {"application/javascript", {}, "window.probeRan = true;"});
        server_.route("/escape.bin",
                      {"application/octet-stream",
                       {{"Content-Disposition", "attachment; filename=\"../../escape.bin\""}},
                       QByteArray(2048, 'y')});
        server_.route("/app.bin", {"application/octet-stream",
                                   {{"Content-Disposition", "attachment; filename=\"app.bin\""}},
                                   QByteArray(4096, 'x')});
    }

    void cleanup() { live::closeLogger(); }

    void bridgeCallsArriveAsPageEvents() {
        OrbWebView view;
        QCOMPARE(view.init(true), 0);
        view.resize(640, 480);
        view.show();
        QSignalSpy events(&view, &IOrbWebView::signalJSEvent);
        view.loadPage(server_.url("/bridge.html"));
        QTRY_COMPARE_WITH_TIMEOUT(events.count(), 7, 60000);
        const QList<QPair<int, QString>> expected = {
            {OrbWebBridge::kSignedIn, ""},
            {OrbWebBridge::kSignedOut, ""},
            {OrbWebBridge::kLoginModalClosed, ""},
            {OrbWebBridge::kAboutClosed, ""},
            {OrbWebBridge::kOpenBrowser, "http://127.0.0.1/app.apk"},
            {OrbWebBridge::kOpenBrowser, ""},
            {OrbWebBridge::kUploadAvatar, ""}};
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(int(events.at(i).at(0).value<uint8_t>()), expected[i].first);
            QCOMPARE(events.at(i).at(1).toString(), expected[i].second);
        }
        QCOMPARE(view.view()->size(), QSize(640, 480));
        view.resize(500, 300);
        QCOMPARE(view.view()->size(), QSize(500, 300));
    }

    void signInCookiesAreKeptWithDuplicates() {
        OrbWebView view;
        QCOMPARE(view.init(true), 0);
        view.clearAll();
        view.loadPage(server_.url("/login"));
        // The store announces each cookie on its own, in no promised order.
        const auto allFour = [&view] {
            const QList<QNetworkCookie> now = keptCookies(view);
            for (const char* name : {"js", "sid", "uid", "keep"}) {
                if (countNamed(now, name) < 1) {
                    return false;
                }
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(allFour(), 60000);
        QList<QNetworkCookie> kept = keptCookies(view);
        QCOMPARE(countNamed(kept, "js"), 1);
        QCOMPARE(countNamed(kept, "sid"), 1);
        QCOMPARE(countNamed(kept, "uid"), 1);
        QCOMPARE(countNamed(kept, "keep"), 1);
        for (const QNetworkCookie& c : kept) {
            if (c.name() == "sid") {
                QVERIFY(c.isHttpOnly());
                QCOMPARE(c.value(), QByteArray("s1"));
            }
        }

        // The same cookies set again are kept again.
        view.loadPage(server_.url("/login"));
        QTRY_VERIFY_WITH_TIMEOUT(
            countNamed(keptCookies(view), "js") == 2 && countNamed(keptCookies(view), "sid") == 2,
            60000);

        view.clearAll();
        QVERIFY(keptCookies(view).isEmpty());
    }

    // The client loads stored cookies at start, in a fresh browser process, so each step
    // runs in a child process of its own sharing one profile folder.
    void storedCookiesAreAnnouncedAtStartUntilCleared() {
        QTemporaryDir profile;
        QCOMPARE(runChild("seed", profile.path(), "js"), QStringList{"ok"});
        QStringList announced = runChild("announce", profile.path(), "keep");
        QVERIFY2(announced.contains("keep"), qPrintable(announced.join(",")));
        QVERIFY(!announced.contains("uid"));  // a session cookie does not outlive the run

        QCOMPARE(runChild("clear", profile.path(), "after"), QStringList{"ok"});
        announced = runChild("announce", profile.path(), "after");
        QVERIFY2(announced.contains("after"), qPrintable(announced.join(",")));
        QVERIFY(!announced.contains("keep"));
    }

    void taskTypesLoadTheirPagesOrLog() {
        QTemporaryDir dir;
        const QString base = dir.path() + "/orblive_log";
        live::initLogger(base.toUtf8().constData(), live::kWarn);
        OrbWebView view;
        QCOMPARE(view.init(true), 0);
        view.loadPage(live::kTaskDismissRoom);  // no resolver yet
        const QString pageUrl = server_.url("/plain.html");
        view.setUrlResolver(
            [pageUrl](uint8_t type) { return type == 3 || type == 26 ? pageUrl : QString(); });
        view.loadPage(live::kTaskNone);
        view.loadPage(live::kTaskInvite);
        QVERIFY(view.view()->url().isEmpty());

        QSignalSpy finished(view.view(), &QWebEngineView::loadFinished);
        view.loadPage(live::kTaskDismissRoom);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() >= 1, 60000);
        QCOMPARE(view.view()->url().toString(), pageUrl);
        live::closeLogger();

        const QString log = readAll(base + ".txt");
        QVERIFY2(log.contains("[E] OrbWebView::loadPage: invalid task type 3, no url"),
                 qPrintable(log));
        QVERIFY(log.contains("[E] OrbWebView::loadPage: invalid task type 26, no url"));
        QVERIFY(log.contains("[E] OrbWebView::loadPage: invalid task type 5, no url"));
        QCOMPARE(log.count("invalid task type"), 3);
    }

    void secretsStayOutOfTheLog() {
        QTemporaryDir dir;
        const QString base = dir.path() + "/orblive_log";
        live::initLogger(base.toUtf8().constData(), live::kInfo);
        OrbWebView view;
        QCOMPARE(view.init(true), 0);
        // A name of its own: clearing the store races with setting cookies.
        QUrl url(server_.url("/signin?token=T0KEN-SECRET&taskId=7"));
        url.setUserInfo("bob:PASSW0RD-SECRET");
        QSignalSpy finished(view.view(), &QWebEngineView::loadFinished);
        view.loadPage(url.toString());
        QTRY_VERIFY_WITH_TIMEOUT(countNamed(keptCookies(view), "orbsid") >= 1, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() >= 1, 60000);
        live::closeLogger();

        const QString log = readAll(base + ".txt");
        QVERIFY2(log.contains("cookie added 127.0.0.1 orbsid (value 20 bytes)"), qPrintable(log));
        QVERIFY2(log.contains("OrbWebView::loadPage: load http://127.0.0.1:"), qPrintable(log));
        QVERIFY(log.contains("taskId=7"));
        for (const char* secret : {"S3SSION", "T0KEN-SECRET", "PASSW0RD"}) {
            QVERIFY2(!log.contains(secret), secret);
        }
    }

    // 0.0.0.0 reaches the loopback server but, unlike 127.0.0.1, the engine does not count it
    // as a trustworthy origin, so it stands for any plain-HTTP host.
    void httpsPagesRunNoPlainHttpScripts_data() {
        QTest::addColumn<QString>("pageBase");
        QTest::addColumn<QString>("title");
        QTest::newRow("http page") << "http://plain.test/"
                                   << "ran";
        QTest::newRow("https page") << "https://secure.test/"
                                    << "blocked";
    }
    void httpsPagesRunNoPlainHttpScripts() {
        QFETCH(QString, pageBase);
        QFETCH(QString, title);
        OrbWebView view;
        QCOMPARE(view.init(true), 0);
        const QString probe =
            server_.url("/probe.js").replace("127.0.0.1", "0.0.0.0").toHtmlEscaped();
        const QString html = "<!doctype html><html><head><script src=\"" + probe +
                             "\"></script></head><body><script>document.title = "
                             "window.probeRan ? 'ran' : 'blocked';</script></body></html>";
        view.view()->page()->setHtml(html, QUrl(pageBase));
        QTRY_COMPARE_WITH_TIMEOUT(view.view()->title(), title, 60000);
    }

    void downloadNamesCannotLeaveTheFolder_data() {
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "../../.bashrc"
                                << "bashrc";
        QTest::newRow("absolute") << "/etc/cron.d/job"
                                  << "job";
        QTest::newRow("windows") << "C:\\Users\\x\\..\\run.exe"
                                 << "run.exe";
        QTest::newRow("dots only") << ".."
                                   << "";
    }
    void downloadNamesCannotLeaveTheFolder() {
        QFETCH(QString, suggested);
        QFETCH(QString, name);
        QCOMPARE(OrbWebView::safeDownloadName(suggested), name);
    }

    void serverSuggestedPathsStayInTheDownloadFolder() {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        const QString outside = QFileInfo(folder + "/../../escape.bin").absoluteFilePath();
        QFile::remove(outside);
        QFile::remove(folder + "/escape.bin");
        OrbWebView view;
        QCOMPARE(view.init(true), 0);
        view.loadPage(server_.url("/escape.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(folder + "/escape.bin").size() == 2048, 60000);
        QVERIFY(!QFile::exists(outside));
        QFile::remove(folder + "/app.bin");
        view.loadPage(server_.url("/app.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(folder + "/app.bin").size() == 4096, 60000);
    }

    // Before init and after release there is no browser, and loading does nothing.
    void releaseDropsTheBrowser() {
        OrbWebView view;
        view.loadPage(server_.url("/plain.html"));
        QVERIFY(!view.view());
        QCOMPARE(view.init(false), 0);
        QVERIFY(view.view() && view.bridge());
        QCOMPARE(view.release(), 0);
        QVERIFY(!view.view() && !view.bridge());
        view.loadPage(server_.url("/plain.html"));  // does nothing, does not crash
    }
};

namespace {

// Waits for `done` at most `ms`; what follows looks at the outcome itself.
template <typename Done>
void waitUpTo(Done done, int ms) {
    static_cast<void>(QTest::qWaitFor(done, ms));
}

// Child modes: "seed" signs in (persistent and session cookies), "clear" clears everything
// and sets one new persistent cookie, "announce" loads stored cookies first thing and prints
// the names that arrive. Each waits for the cookie named `marker`.
int runChildMode(const QString& mode, const QString& base, const QByteArray& marker) {
    OrbWebView view;
    if (view.init(true) != 0) {
        return 1;
    }
    QTextStream out(stdout);
    if (mode == "announce") {
        view.loadCookieFromFile();
        // As at the client's start, a page load follows and brings the store up.
        view.loadPage(base + "/plain.html");
        // Stored cookies are announced in one batch, so once the marker is there all are.
        waitUpTo([&] { return countNamed(keptCookies(view), marker) > 0; }, 60000);
        for (const QNetworkCookie& c : keptCookies(view)) {
            out << c.name() << "\n";
        }
        return 0;
    }
    if (mode == "clear") {
        // Deleting and setting cookies travel different ways into the store; wait until the
        // stored sign-in is gone so the new cookie cannot be deleted with it.
        bool removed = false;
        QObject::connect(QWebEngineProfile::defaultProfile()->cookieStore(),
                         &QWebEngineCookieStore::cookieRemoved,
                         [&removed](const QNetworkCookie& c) { removed |= c.name() == "keep"; });
        view.clearAll();
        // A busy engine may never announce the removal of a cookie it had not loaded yet:
        // go on after a while rather than spend the whole run waiting.
        waitUpTo([&removed] { return removed; }, 30000);
    }
    view.loadPage(base + (mode == "seed" ? "/login" : "/after"));
    waitUpTo([&] { return countNamed(keptCookies(view), marker) > 0; }, 60000);
    // The next child reads the store from disk, which the engine writes on its own schedule:
    // this one ends only once the persistent cookie (and what came before it) is written.
    const QByteArray persistent = mode == "seed" ? QByteArray("keep") : marker;
    QFile db(QWebEngineProfile::defaultProfile()->persistentStoragePath() + "/Cookies");
    const auto onDisk = [&db, &persistent] {
        const bool found = db.open(QIODevice::ReadOnly) && db.readAll().contains(persistent);
        db.close();
        return found;
    };
    waitUpTo(onDisk, 60000);
    out << (countNamed(keptCookies(view), marker) > 0 && onDisk() ? "ok" : "no cookie") << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == "--child") {
        return runChildMode(args[2], args[3], args[4].toUtf8());
    }
    TestWebView test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_webview.moc"
