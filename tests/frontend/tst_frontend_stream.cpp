#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include "MediaProbe.h"
#include "OutputTestKit.h"
#include "RtmpServer.h"
#include "StudioTestKit.h"
#include "frontend/StudioCodes.h"
#include "net/LogFile.h"

using namespace orbLiveImp;

using studiotest::app;

namespace {

quint16 unusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

OBSBasic* studio() {
    return app()->GetMainWindow();
}

orbLiveImp::ResourceUtil figures() {
    orbLiveImp::ResourceUtil util;
    studio()->getResourceUtility(util);
    return util;
}

}  // namespace

class TestFrontendStream : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    outputtest::OutputEvents events_;

    void pushTo(const RtmpServer& server, const QString& key) {
        app()->setRTMPUrl(server.url() + "/", key);
    }

    // Starts streaming and waits until the server took it.
    void goLive() {
        events_.clear();
        QVERIFY(app()->ctrlVoice(kStreamStart, 0));
        QVERIFY2(events_.waitFor("5 true"), qPrintable(events_.lines().join(',')));
    }

    void stopAndExpectOneFalse() {
        if (!events_.lines().contains("5 false")) {
            QVERIFY(app()->ctrlVoice(kStreamStop, 0));
            QVERIFY(events_.waitFor("5 false"));
        }
        events_.settle();  // nothing more may follow
        QCOMPARE(events_.lines(), QStringList({"5 true", "5 false"}));
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(dir_.isValid());
        outputtest::useSmallOutput(app());
        QVERIFY(!outputtest::addMovingPicture(app(), dir_.path()).isEmpty());
        events_.attach(app());
    }

    void cleanup() {
        // A failed case must not leave the next one streaming, nor with its own settings.
        if (app()->ctrlVoice(kStreamStop, 0)) {
            (void)events_.waitFor("5 false");
        }
        config_set_uint(studio()->Config(), "Output", "MaxRetries", 3);
        config_set_uint(studio()->Config(), "SimpleOutput", "VBitrate", 800);
    }

    void pushAddressIsKeptInTheService() {
        app()->setRTMPUrl("rtmp://127.0.0.1:1935/live/", "orb42");
        obs_service_t* service = studio()->GetService();
        QVERIFY(service);
        // The client's own service type, not a module that fetches server lists.
        QCOMPARE(QString(obs_service_get_output_type(service)), QString("rtmp_output"));
        QCOMPARE(QString(obs_service_get_url(service)), QString("rtmp://127.0.0.1:1935/live/"));
        QCOMPARE(QString(obs_service_get_key(service)), QString("orb42"));
    }

    void idleFiguresAreZeros() {
        // The engine's frame rate needs a moment to settle, longer on a loaded machine.
        QVERIFY2(QTest::qWaitFor([] { return figures().fps > 15.0f; }, 20000),
                 qPrintable(QString::number(figures().fps)));
        const orbLiveImp::ResourceUtil util = figures();
        QCOMPARE(util.liveSeconds, 0u);
        QCOMPARE(util.recordSeconds, 0u);
        QCOMPARE(util.originFrame, 0u);
        QCOMPARE(util.kbs, 0.0f);
        QVERIFY(util.cpu >= 0.0f && util.cpu <= 100.0f);
    }

    void streamReachesTheServerWithItsFigures() {
        RtmpServer server;
        QVERIFY(server.start());
        pushTo(server, "orbtest");
        goLive();
        QVERIFY2(!app()->ctrlVoice(kStreamStart, 0), "a second start while live is refused");
        QVERIFY2(!studio()->ResetOutputs(), "outputs cannot be reset while live");

        QVERIFY(outputtest::runsFor(app(), 8));
        const orbLiveImp::ResourceUtil last = figures();
        stopAndExpectOneFalse();

        // 800 kbps of video and 128 of audio, constant bit rate.
        QVERIFY2(last.kbs > 600.0f && last.kbs < 1400.0f, qPrintable(QString::number(last.kbs)));
        // 30 fps asked; a loaded machine skips frames, a stalled stream has none.
        QVERIFY2(last.originFrame > 10 * last.liveSeconds,
                 qPrintable(QString::number(last.originFrame)));
        QVERIFY(last.lostFrame <= last.originFrame);
        QCOMPARE(last.delay, 0u);
        QCOMPARE(figures().liveSeconds, 0u);
        QVERIFY(studio()->ResetOutputs());

        server.stop();  // finishes its recording of the stream
        const MediaProbe probe = MediaProbe::of(server.recording("orbtest"));
        QVERIFY2(probe.ok, qPrintable(server.errorLog()));
        QCOMPARE(probe.videoCodec, QString("h264"));
        QCOMPARE(probe.width, 640);
        QCOMPARE(probe.height, 360);
        QCOMPARE(probe.audioCodec, QString("aac"));
        QVERIFY2(probe.duration > 7.0, qPrintable(QString::number(probe.duration)));
    }

    void refusedConnectionEndsInFalse() {
        app()->setRTMPUrl(QString("rtmp://127.0.0.1:%1/live/").arg(unusedPort()), "nobody");
        LogFile log;
        events_.clear();
        QElapsedTimer clock;
        clock.start();
        app()->ctrlVoice(kStreamStart, 0);
        // The refusal comes later, as an event: the call itself does not wait for the server.
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(events_.waitFor("5 false", 30000));
        events_.settle();
        QCOMPARE(events_.lines(), QStringList({"5 false"}));
        QVERIFY(log.text().contains("StreamOutput"));
    }

    void missingAddressEndsInFalse() {
        app()->setRTMPUrl("", "");
        events_.clear();
        QVERIFY(!app()->ctrlVoice(kStreamStart, 0));
        QVERIFY(events_.waitFor("5 false", 30000));
        events_.settle();
        QCOMPARE(events_.lines(), QStringList({"5 false"}));
    }

    // A server that accepts the connection and never answers the handshake.
    void stopWhileConnectingEndsInFalseWithoutBlocking() {
        QTcpServer mute;
        QVERIFY(mute.listen(QHostAddress::LocalHost, 0));
        QList<QTcpSocket*> held;
        connect(&mute, &QTcpServer::newConnection,
                [&] { held.append(mute.nextPendingConnection()); });
        app()->setRTMPUrl(QString("rtmp://127.0.0.1:%1/live/").arg(mute.serverPort()), "mute");
        events_.clear();
        QVERIFY(app()->ctrlVoice(kStreamStart, 0));
        QVERIFY(QTest::qWaitFor([&] { return !held.isEmpty(); }, 30000));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(app()->ctrlVoice(kStreamStop, 0));
        QVERIFY(events_.waitFor("5 false", 30000));
        // Not the connection's own time-out (tens of seconds); a loaded machine gets a margin.
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        events_.settle();
        QCOMPARE(events_.lines(), QStringList({"5 false"}));
        qDeleteAll(held);
    }

    void serverBackWithinTheRetryWindowResumes() {
        RtmpServer server;
        QVERIFY(server.start());
        pushTo(server, "resume");
        goLive();
        QVERIFY(outputtest::runsFor(app(), 2));
        const quint16 port = server.port();
        server.stop();
        QVERIFY2(
            QTest::qWaitFor([] { return figures().delay > 0 || figures().kbs == 0.0f; }, 30000),
            "the drop shows in the figures");
        QVERIFY(server.start(port));
        // Back on the air: the bit rate returns and no stop was reported.
        QVERIFY(QTest::qWaitFor(
            [] {
                const orbLiveImp::ResourceUtil u = figures();
                return u.delay == 0 && u.kbs > 100.0f;
            },
            30000));
        // Two more seconds on the air by the stream's own clock, and still no stop.
        QVERIFY(outputtest::runsFor(app(), 2));
        events_.settle();
        QCOMPARE(events_.lines(), QStringList({"5 true"}));
        QVERIFY2(figures().originFrame > 10 * 2, "frames from before the drop still count");
        stopAndExpectOneFalse();
        server.stop();
        const MediaProbe probe = MediaProbe::of(server.recording("resume"));
        QVERIFY2(probe.ok && probe.videoCodec == "h264", "the resumed stream reached the server");
    }

    void serverGoneBeyondTheRetryWindowEndsInFalse() {
        config_set_uint(studio()->Config(), "Output", "MaxRetries", 2);
        RtmpServer server;
        QVERIFY(server.start());
        pushTo(server, "gone");
        goLive();
        QVERIFY(outputtest::runsFor(app(), 1));
        LogFile log;
        QElapsedTimer clock;
        clock.start();
        server.stop();
        // The drop is a reconnect first; the end waits for the retries (after 1 s and 1.5 s),
        // which a loaded machine can only make later.
        QVERIFY(events_.waitFor("5 false", 30000));
        QVERIFY2(clock.elapsed() >= 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(log.text().contains("reconnecting"));
        stopAndExpectOneFalse();
        QCOMPARE(figures().liveSeconds, 0u);
    }

    // Every start takes fresh encoders with the profile's rates as they are then.
    void restartedStreamTakesTheNewBitRate() {
        RtmpServer server;
        QVERIFY(server.start());
        pushTo(server, "again");
        goLive();
        stopAndExpectOneFalse();

        config_set_uint(studio()->Config(), "SimpleOutput", "VBitrate", 300);
        QVERIFY(studio()->ResetOutputs());
        goLive();
        QVERIFY(outputtest::runsFor(app(), 3));
        const float kbs = figures().kbs;
        stopAndExpectOneFalse();
        // 300 kbps of video and 128 of audio.
        QVERIFY2(kbs > 250.0f && kbs < 650.0f, qPrintable(QString::number(kbs)));
    }
};

STUDIO_TEST_MAIN(TestFrontendStream)

#include "tst_frontend_stream.moc"
