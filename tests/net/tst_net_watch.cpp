// The demo service's watch page tells a presenter what the RTMP server really receives.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

#include "ChildProcess.h"
#include "RtmpServer.h"
#include "net/DemoService.h"

namespace {

constexpr int kWait = 60000;

}  // namespace

class TestNetWatch : public QObject {
    Q_OBJECT

    RtmpServer rtmp_;
    DemoService service_;
    ChildProcess publisher_;

    QJsonObject state(int taskId) {
        const auto r = service_.fetch(QString("watch/state?taskId=%1").arg(taskId));
        return QJsonDocument::fromJson(r.body).object();
    }

    void report(int taskId, int n, const QList<QNetworkCookie>& cookies) {
        for (int i = 1; i <= n; ++i) {
            service_.fetch("api/monitor",
                           QString("taskId=%1&kbs=%2&cpu=10.0&fps=%3&originFrame=%4&"
                                   "lostFrame=%5&pointTime=2026120701%6&callback=")
                               .arg(taskId)
                               .arg(1400 + 40 * (i % 3))
                               .arg(29.5 + 0.1 * (i % 5), 0, 'f', 2)
                               .arg(i * 1800)
                               .arg(i / 3)
                               .arg(i, 2, 10, QChar('0'))
                               .toUtf8(),
                           cookies);
        }
    }

    QVariant js(QWebEnginePage* page, const QString& script) {
        QVariant result;
        bool done = false;
        page->runJavaScript(script, [&](const QVariant& v) {
            result = v;
            done = true;
        });
        return QTest::qWaitFor([&] { return done; }, kWait) ? result : QVariant();
    }

    // What a presenter sees in a browser: the page's own script fills it in.
    void browserShowsTheLiveStream() {
        QWebEngineView view;
        view.resize(1280, 900);
        view.show();
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.load(QUrl(service_.baseUrl() + "watch?taskId=1003"));
        QVERIFY(loaded.wait(kWait));
        QTRY_COMPARE_WITH_TIMEOUT(
            js(view.page(), "document.getElementById('live').textContent").toString(),
            QString("直播中"), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(
            js(view.page(),
               "!!document.getElementById('frame') && "
               "!!document.getElementById('monitor-chart') && "
               "document.getElementById('size').textContent.indexOf('320') === 0")
                .toBool(),
            kWait);
        const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
        QDir().mkpath(dir);
        QTest::qWait(500);  // one more frame painted after the picture arrived
        QVERIFY(view.grab().save(dir + "/watch_page.png"));
    }

    bool live(int taskId) {
        return state(taskId).value("stream").toObject().value("live").toBool();
    }

private slots:
    void initTestCase() {
        QVERIFY2(rtmp_.start(), qPrintable(rtmp_.errorLog()));
        DemoService::Options options;
        options.rtmpPort = rtmp_.port();
        options.rtmpStatUrl = rtmp_.statUrl();
        QVERIFY(service_.start(options));
    }

    void cleanupTestCase() {
        publisher_.stop();
        service_.stop();
        rtmp_.stop();
    }

    void showsTheStreamAsTheServerReceivesIt() {
        QVERIFY(!live(1003));
        QCOMPARE(service_.fetch("watch/frame.jpg?taskId=1003").status, 404);
        publisher_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString source =
            "-v error -re -f lavfi -i testsrc2=size=320x240:rate=15 -f lavfi -i sine=frequency=440 "
            "-t 40 -c:v libx264 -preset ultrafast -g 15 -c:a aac -f flv";
        publisher_.start("ffmpeg", source.split(' ') << rtmp_.url() + "/orb1003");
        QTRY_VERIFY_WITH_TIMEOUT(live(1003), kWait);
        // The stream's description follows its first packets.
        QTRY_VERIFY_WITH_TIMEOUT(state(1003).value("stream").toObject().value("width").toInt() > 0,
                                 kWait);
        const QJsonObject stream = state(1003).value("stream").toObject();
        QCOMPARE(stream.value("width").toInt(), 320);
        QCOMPARE(stream.value("codec").toString(), QString("H264"));
        QCOMPARE(stream.value("fps").toInt(), 15);
        QVERIFY(!live(1004));

        const auto frame = service_.fetch("watch/frame.jpg?taskId=1003");
        QCOMPARE(frame.status, 200);
        QVERIFY(frame.body.startsWith("\xff\xd8"));
        QTRY_VERIFY_WITH_TIMEOUT(state(1003).value("stream").toObject().value("kbps").toInt() > 0,
                                 kWait);
        report(1003, 12, service_.signIn());
        browserShowsTheLiveStream();
        publisher_.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!live(1003), kWait);
    }

    // The reports of one task, drawn; another task's are not mixed in.
    void chartsTheTasksMonitorReports() {
        report(1005, 3, service_.signIn());
        const QJsonObject s = state(1005);
        QCOMPARE(s.value("reports").toArray().size(), 3);
        QCOMPARE(state(1006).value("reports").toArray().size(), 0);
        const QString chart = s.value("chart").toString();
        QVERIFY(chart.startsWith("<svg"));
        for (const char* series : {"series-kbs", "series-fps", "series-lostFrame"}) {
            QVERIFY2(chart.contains(series), series);
        }
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestNetWatch test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_net_watch.moc"
