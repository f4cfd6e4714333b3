#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QtTest>

#include "LoopbackHttpServer.h"
#include "core/Log.h"
#include "net/OrbHttpMgr.h"
#include "shell/web/OrbWebBridge.h"
#include "shell/web/OrbWebView.h"

namespace {

QByteArray page(const QByteArray& script) {
    return "<!doctype html><html><head><meta charset=\"utf-8\">"
           "<script src=\"qrc:///qtwebchannel/qwebchannel.js\"></script>\n"
           "</head><body><p>test page</p><script>" +
           script + "</script></body></html>";
}

bool keeps(OrbWebView& view, const QByteArray& name) {
    QList<QNetworkCookie> cookies;
    view.getCookies(cookies);
    return std::any_of(cookies.begin(), cookies.end(),
                       [&](const QNetworkCookie& c) { return c.name() == name; });
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
    "    b.orbUploadAvahost();\n"
    "});\n";

}  // namespace

class TestWebView : public QObject {
    Q_OBJECT

    LoopbackHttpServer server_;

private slots:
    void initTestCase() {
        QVERIFY(server_.start());
        server_.route("/bridge.html", {"text/html; charset=utf-8", {}, page(kBridgeScript)});
        server_.route("/plain.html", {"text/html; charset=utf-8", {}, page("")});
        server_.route("/signin", {"text/html; charset=utf-8",
                                  {{"Set-Cookie", "orbsid=S3SSION-SECRET-VALUE; Path=/; HttpOnly"}},
                                  page("")});
        server_.route("/probe.js", {"application/javascript", {}, "window.probeRan = true;"});
        server_.route("/escape.bin",
                      {"application/octet-stream",
                       {{"Content-Disposition", "attachment; filename=\"../../escape.bin\""}},
                       QByteArray(2048, 'y')});
    }

    void cleanup() { live::closeLogger(); }

    // Every bridge method arrives as its page event; after release there is no browser.
    void bridgeCallsArriveAsPageEvents() {
        OrbWebView view;
        QCOMPARE(view.init(true), 0);
        view.show();
        QSignalSpy events(&view, &IOrbWebView::signalJSEvent);
        view.loadPage(server_.url("/bridge.html"));
        QTRY_COMPARE_WITH_TIMEOUT(events.count(), 6, 60000);
        const QList<QPair<int, QString>> expected = {
            {OrbWebBridge::kSignedIn, ""},
            {OrbWebBridge::kSignedOut, ""},
            {OrbWebBridge::kLoginModalClosed, ""},
            {OrbWebBridge::kAboutClosed, ""},
            {OrbWebBridge::kOpenBrowser, "http://127.0.0.1/app.apk"},
            {OrbWebBridge::kUploadAvatar, ""}};
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(int(events.at(i).at(0).value<uint8_t>()), expected[i].first);
            QCOMPARE(events.at(i).at(1).toString(), expected[i].second);
        }
        QCOMPARE(view.release(), 0);
        QVERIFY(!view.view() && !view.bridge());
    }

    // A task type without a page is logged; a loaded address keeps its secrets (cookie
    // values, tokens, passwords) out of the log.
    void theLogNamesFailuresButNoSecrets() {
        QTemporaryDir dir;
        const QString base = dir.path() + "/orblive_log";
        live::initLogger(base.toUtf8().constData(), live::kInfo);
        OrbWebView view;
        QCOMPARE(view.init(true), 0);
        view.setUrlResolver([](uint8_t) { return QString(); });
        view.loadPage(live::kTaskInvite);
        QVERIFY(view.view()->url().isEmpty());

        QSignalSpy finished(view.view(), &QWebEngineView::loadFinished);
        QUrl url(server_.url("/signin?token=T0KEN-SECRET&taskId=7"));
        url.setUserInfo("bob:PASSW0RD-SECRET");
        view.loadPage(url.toString());
        QTRY_VERIFY_WITH_TIMEOUT(keeps(view, "orbsid"), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() >= 1, 60000);
        live::closeLogger();

        QFile file(base + ".txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString log = QString::fromUtf8(file.readAll());
        QVERIFY2(log.contains(QString("invalid task type %1").arg(live::kTaskInvite)),
                 qPrintable(log));
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
    }
};

QTEST_MAIN(TestWebView)
#include "tst_webview.moc"
