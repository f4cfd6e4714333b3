// The demo service's watch page tells a presenter what the RTMP server really receives.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineView>
#include <QtTest>

#include "ChildProcess.h"
#include "PageScript.h"
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
    QJsonObject stream(int taskId) { return state(taskId).value("stream").toObject(); }

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

    // A stream as the server receives it and its task's reports, in the page a presenter
    // opens in a browser, filled in by its own script.
    void showsTheStreamAndTheReportsOfItsTask() {
        publisher_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString source =
            "-v error -re -f lavfi -i testsrc2=size=320x240:rate=15 -f lavfi -i sine=frequency=440 "
            "-t 40 -c:v libx264 -preset ultrafast -g 15 -c:a aac -f flv";
        publisher_.start("ffmpeg", source.split(' ') << rtmp_.url() + "/orb1003");
        // The stream's description follows its first packets.
        QTRY_VERIFY_WITH_TIMEOUT(stream(1003).value("width").toInt() > 0, kWait);
        QCOMPARE(stream(1003).value("codec").toString(), QString("H264"));
        QVERIFY(!stream(1004).value("live").toBool());
        QVERIFY(service_.fetch("watch/frame.jpg?taskId=1003").body.startsWith("\xff\xd8"));

        const QList<QNetworkCookie> cookies = service_.signIn();
        for (const char* frames : {"1800", "3600", "5400"}) {
            service_.fetch("api/monitor",
                           QByteArray("taskId=1003&kbs=1400&cpu=10.0&fps=29.5&lostFrame=0&"
                                      "pointTime=202612070101&callback=&originFrame=") +
                               frames,
                           cookies);
        }
        QCOMPARE(state(1003).value("reports").toArray().size(), 3);
        QVERIFY(state(1003).value("chart").toString().contains("series-kbs"));

        QWebEngineView view;
        view.resize(1280, 900);
        view.show();
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.load(QUrl(service_.baseUrl() + "watch?taskId=1003"));
        QVERIFY(loaded.wait(kWait));
        QTRY_VERIFY_WITH_TIMEOUT(
            PageScript::run(view.page(),
                            "document.getElementById('live').textContent === '直播中' && "
                            "!!document.getElementById('frame') && "
                            "!!document.getElementById('monitor-chart') && "
                            "document.getElementById('size').textContent.indexOf('320') === 0")
                .toBool(),
            kWait);
        QTest::qWait(500);  // one more frame painted after the picture arrived
        const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(dir) && view.grab().save(dir + "/watch_page.png"));

        publisher_.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!stream(1003).value("live").toBool(), kWait);
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestNetWatch test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_net_watch.moc"
