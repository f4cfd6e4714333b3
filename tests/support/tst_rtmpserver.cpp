// The RTMP server the streaming tests rely on receives and records a real stream.
#include <QtTest>

#include "ChildProcess.h"
#include "MediaProbe.h"
#include "RtmpServer.h"

class TestRtmpServer : public QObject {
    Q_OBJECT

private slots:
    void receivesAndRecordsAStream() {
        RtmpServer server;
        QVERIFY2(server.start(), qPrintable(server.errorLog()));
        ChildProcess ffmpeg;
        ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString args = QStringLiteral(
            "-v error -re -f lavfi -i testsrc2=size=320x240:rate=15 -f lavfi -i sine=frequency=440 "
            "-t 3 -c:v libx264 -preset ultrafast -c:a aac -f flv");
        ffmpeg.start("ffmpeg", args.split(' ') << server.url() + "/probe");
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);
        const quint16 port = server.port();
        server.stop();
        const MediaProbe probe = MediaProbe::of(server.recording("probe"));
        QVERIFY(probe.ok);
        QCOMPARE(probe.videoCodec, QString("h264"));
        QCOMPARE(probe.width, 320);
        QCOMPARE(probe.audioCodec, QString("aac"));
        QVERIFY2(probe.duration > 2.0, qPrintable(QString::number(probe.duration)));
        // It comes back on the same address, as the reconnect tests need.
        QVERIFY(!server.isRunning());
        QVERIFY(server.start(port));
        QCOMPARE(server.port(), port);
    }
};

QTEST_GUILESS_MAIN(TestRtmpServer)
#include "tst_rtmpserver.moc"
