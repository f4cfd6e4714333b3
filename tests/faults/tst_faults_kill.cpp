// The client killed with SIGKILL while it records in a room: the recording plays, and the next
// start finds the lock free, the sign-in of today and the scene collection as they were. The
// client runs as a child process (fault_client) on a display of this test's own.
#include <signal.h>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "ChildProcess.h"
#include "MediaProbe.h"
#include "PrivateDisplay.h"
#include "net/DemoService.h"

namespace {

constexpr int kWait = 90000;
const QString kClient = QStringLiteral(ORB_BINARY_DIR "/tests/faults/client/fault_client");

}  // namespace

class TestFaultsKill : public QObject {
    Q_OBJECT

    PrivateDisplay display_;
    DemoService demo_;

    // Runs one step of the client to its end: what it said when it did not end well.
    QString run(const QString& step) {
        ChildProcess client;
        client.start(kClient, {step, demo_.baseUrl()});
        const bool ended = client.waitForFinished(kWait);
        const QString said = QString::fromLocal8Bit(client.readAllStandardError());
        const bool ok =
            ended && client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
        return ok ? QString() : step + " failed: " + said;
    }

private slots:
    void initTestCase() {
        QVERIFY2(display_.start(false), qPrintable(display_.failure()));
        // The client's sign-in, browser profile, studio and recordings start afresh each run.
        for (const char* folder : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
            QDir dir(qEnvironmentVariable(folder));
            QVERIFY(dir.removeRecursively() && dir.mkpath("."));
        }
        QVERIFY(QFileInfo(kClient).isExecutable());
        QVERIFY(demo_.start());
    }

    void killedWhileRecording() {
        QCOMPARE(run("prepare"), QString());

        ChildProcess client;
        client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client.start(kClient, {"record", demo_.baseUrl()});
        QVERIFY(client.waitForStarted(kWait));
        QByteArray said;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (said += client.readAllStandardOutput()).contains("\"recording\""), said.constData(),
            kWait);
        const QJsonObject recording =
            QJsonDocument::fromJson(said.mid(said.indexOf("{\"event\":\"recording\"")).trimmed())
                .object();
        ::kill(pid_t(client.processId()), SIGKILL);
        QVERIFY(client.waitForFinished(kWait));
        QCOMPARE(client.exitStatus(), QProcess::CrashExit);

        const QFileInfoList files =
            QDir(recording.value("folder").toString()).entryInfoList(QDir::Files, QDir::Time);
        QVERIFY(!files.isEmpty());
        // The muxer finishes what it has once its input is gone.
        const MediaProbe probe = MediaProbe::of(files.first().filePath());
        QVERIFY2(probe.ok, qPrintable(files.first().filePath()));
        QCOMPARE(probe.videoCodec, QString("h264"));
        QVERIFY2(probe.duration > 1.0, qPrintable(QString::number(probe.duration)));

        QCOMPARE(run("check"), QString());
    }
};

QTEST_GUILESS_MAIN(TestFaultsKill)

#include "tst_faults_kill.moc"
