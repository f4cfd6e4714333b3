#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/types.h>
#include <unistd.h>
#include <csignal>

#include "MediaProbe.h"
#include "OutputTestKit.h"
#include "RtmpServer.h"
#include "StudioTestKit.h"
#include "frontend/StudioCodes.h"
#include "net/LogFile.h"

using namespace orbLiveImp;

using studiotest::app;

namespace {

OBSBasic* studio() {
    return app()->GetMainWindow();
}

void recordInto(OBSApp* a, const QString& dir, const char* format) {
    config_t* profile = a->GetMainWindow()->Config();
    config_set_string(profile, "SimpleOutput", "FilePath", dir.toUtf8().constData());
    config_set_string(profile, "SimpleOutput", "RecFormat", format);
}

// ---- The child side: "--child <mode> <folder>" records into <folder> in its own studio.

using studiotest::childSays;

int runChild(int argc, char** argv) {
    // Its own process group, so the test can kill it together with the muxer it starts.
    ::setpgid(0, 0);
    const QByteArray mode = argv[2];
    const QString folder = QString::fromLocal8Bit(argv[3]);
    long leaks = 0;
    {
        OBSApp a(argc, argv);
        const int rc = a.init();
        childSays(QStringLiteral("init %1").arg(rc));
        if (rc != 0) {
            return 2;
        }
        outputtest::useSmallOutput(&a);
        QDir().mkpath(qEnvironmentVariable("HOME"));
        outputtest::addMovingPicture(&a, qEnvironmentVariable("HOME"));
        recordInto(&a, folder, "mp4");
        outputtest::OutputEvents events;
        events.attach(&a);
        a.ctrlVoice(kRecordStart, 0);
        if (!events.waitFor("6 true")) {
            childSays("no recording");
            return 3;
        }
        childSays("recording");
        // "kill": the test kills the whole group meanwhile; "quit": the app ends while
        // the recording runs.
        QTest::qWait(mode == "kill" ? 60000 : 3200);
        childSays("quitting");
    }
    leaks = bnum_allocs();
    childSays(QStringLiteral("leaks %1").arg(leaks));
    return 0;
}

}  // namespace

// ---- The test side.

class TestFrontendRecord : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    outputtest::OutputEvents events_;

    QString recordDir(const QString& name) const { return dir_.path() + "/" + name; }

    QProcess* startChild(const QString& mode, const QString& folder) {
        return studiotest::startChild(this, {mode, folder}, dir_.path() + "/child");
    }

    static QString onlyFileIn(const QString& folder) {
        const QStringList files = QDir(folder).entryList({"*.mp4"}, QDir::Files);
        return files.size() == 1 ? folder + "/" + files.first() : QString();
    }

    // Records for `ms` and returns the path the stop reported.
    QString recordFor(int ms) {
        events_.clear();
        if (!app()->ctrlVoice(kRecordStart, 0) || !events_.waitFor("6 true")) {
            return QString();
        }
        QTest::qWait(ms);
        orbLiveImp::ResourceUtil util;
        studio()->getResourceUtility(util);
        if (util.recordSeconds + 1 < static_cast<uint64_t>(ms / 1000)) {
            qWarning("record clock at %llu s", static_cast<unsigned long long>(util.recordSeconds));
            return QString();
        }
        if (!app()->ctrlVoice(kRecordStop, 0) || !events_.waitFor("6 false")) {
            return QString();
        }
        return events_.lastRecordedPath();
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(dir_.isValid());
        outputtest::useSmallOutput(app(), 1, 1);
        QVERIFY(!outputtest::addMovingPicture(app(), dir_.path()).isEmpty());
        events_.attach(app());
    }

    void cleanup() {
        if (app()->ctrlVoice(kRecordStop, 0)) {
            (void)events_.waitFor("6 false");
        }
        if (app()->ctrlVoice(kStreamStop, 0)) {
            (void)events_.waitFor("5 false");
        }
    }

    void recordsEachFormat_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("ms");
        QTest::newRow("mp4") << "mp4" << 5000;
        QTest::newRow("flv") << "flv" << 5000;
        QTest::newRow("mkv") << "mkv" << 2500;
        QTest::newRow("mov") << "mov" << 2500;
    }
    void recordsEachFormat() {
        QFETCH(QString, format);
        QFETCH(int, ms);
        const QString folder = recordDir("formats/" + format);  // made on demand
        recordInto(app(), folder, format.toUtf8().constData());
        const QString path = recordFor(ms);
        QVERIFY2(!path.isEmpty(), qPrintable(events_.lines().join(',')));
        QCOMPARE(QFileInfo(path).absolutePath(), folder);
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\." + format + "$")
                     .match(QFileInfo(path).fileName())
                     .hasMatch(),
                 qPrintable(path));
        QCOMPARE(events_.lines().first(), "6 true " + path);
        const MediaProbe probe = MediaProbe::of(path);
        QCOMPARE(probe.videoCodec, QString("h264"));
        QCOMPARE(probe.width, 640);
        QCOMPARE(probe.audioCodec, QString("aac"));
        const double seconds = ms / 1000.0;
        QVERIFY2(probe.duration > seconds - 1.0 && probe.duration < seconds + 2.0,
                 qPrintable(QString::number(probe.duration)));
    }

    void recordingsDoNotOverwriteEachOther() {
        const QString folder = recordDir("twice");
        recordInto(app(), folder, "flv");
        const QString first = recordFor(300);
        const QString second = recordFor(300);
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        QVERIFY(first != second);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    }

    void unwritableFolderIsReported() {
        // A folder below a plain file can never be made, not even by root.
        QFile blocker(recordDir("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        recordInto(app(), blocker.fileName() + "/videos", "mp4");
        LogFile log;
        events_.clear();
        QVERIFY(!app()->ctrlVoice(kRecordStart, 0));
        QVERIFY(events_.waitFor("6 false", 5000));
        QCOMPARE(events_.lines(), QStringList({"6 false "}));
        QVERIFY(log.text().contains("cannot be written"));
        orbLiveImp::ResourceUtil util;
        studio()->getResourceUtility(util);
        QCOMPARE(util.recordSeconds, 0u);
    }

    void recordingOutlivesALostStream() {
        const QString folder = recordDir("beside-stream");
        recordInto(app(), folder, "mp4");
        RtmpServer server;
        QVERIFY(server.start());
        app()->setRTMPUrl(server.url() + "/", "beside");
        events_.clear();
        QVERIFY(app()->ctrlVoice(kStreamStart, 0));
        QVERIFY(events_.waitFor("5 true"));
        QVERIFY(app()->ctrlVoice(kRecordStart, 0));
        QVERIFY(events_.waitFor("6 true"));
        QVERIFY(outputtest::runsFor(app(), 1, true));
        server.stop();
        QVERIFY(events_.waitFor("5 false", 30000));  // one retry after a second, then it gives up
        QVERIFY(outputtest::runsFor(app(), 2, true));
        events_.settle();
        QVERIFY2(!events_.lines().join(',').contains("6 false"), "the recording went on");
        QVERIFY(app()->ctrlVoice(kRecordStop, 0));
        QVERIFY(events_.waitFor("6 false"));
        const MediaProbe probe = MediaProbe::of(events_.lastRecordedPath());
        QCOMPARE(probe.videoCodec, QString("h264"));
        QCOMPARE(probe.audioCodec, QString("aac"));
        QVERIFY2(probe.duration > 3.0, qPrintable(QString::number(probe.duration)));
    }

    void streamJoinsARunningRecording() {
        const QString folder = recordDir("then-stream");
        recordInto(app(), folder, "mkv");
        RtmpServer server;
        QVERIFY(server.start());
        app()->setRTMPUrl(server.url() + "/", "joined");
        events_.clear();
        QVERIFY(app()->ctrlVoice(kRecordStart, 0));
        QVERIFY(events_.waitFor("6 true"));
        QVERIFY(outputtest::runsFor(app(), 1, true));
        QVERIFY(app()->ctrlVoice(kStreamStart, 0));
        QVERIFY(events_.waitFor("5 true"));
        QVERIFY(outputtest::runsFor(app(), 3));
        QVERIFY(app()->ctrlVoice(kRecordStop, 0));
        QVERIFY(events_.waitFor("6 false"));
        QVERIFY(outputtest::runsFor(app(), 1));  // the stream carries on alone
        QVERIFY(app()->ctrlVoice(kStreamStop, 0));
        QVERIFY(events_.waitFor("5 false"));
        server.stop();
        const MediaProbe streamed = MediaProbe::of(server.recording("joined"));
        QVERIFY2(streamed.duration > 2.5, qPrintable(QString::number(streamed.duration)));
        const MediaProbe recorded = MediaProbe::of(events_.lastRecordedPath());
        QVERIFY2(recorded.duration > 2.5, qPrintable(QString::number(recorded.duration)));
    }

    void killedWhileRecordingLeavesAPlayableMp4() {
        const QString folder = recordDir("killed");
        QDir().mkpath(folder);
        QProcess* child = startChild("kill", folder);
        QByteArray output;
        QVERIFY2(studiotest::waitForLine(child, output, "recording"), output.constData());
        QTest::qWait(3500);
        // The program and everything it started die at once, as in a crash of the session.
        QCOMPARE(::kill(-static_cast<pid_t>(child->processId()), SIGKILL), 0);
        QVERIFY(child->waitForFinished(30000));
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);
        const QString file = onlyFileIn(folder);
        QVERIFY2(!file.isEmpty(), qPrintable(QDir(folder).entryList().join(',')));
        const MediaProbe probe = MediaProbe::of(file);
        QCOMPARE(probe.videoCodec, QString("h264"));
        QCOMPARE(probe.width, 640);
        QVERIFY2(probe.duration > 1.0, qPrintable(QString::number(probe.duration)));
        child->deleteLater();
    }

    void quittingWhileRecordingFinishesTheFile() {
        const QString folder = recordDir("quit");
        QDir().mkpath(folder);
        QProcess* child = startChild("quit", folder);
        QByteArray output;
        QVERIFY2(studiotest::waitForLine(child, output, "leaks"), output.constData());
        QVERIFY(child->waitForFinished(30000));
        output += child->readAllStandardOutput();
        QVERIFY2(output.contains("leaks 0"), output.constData());
        const MediaProbe probe = MediaProbe::of(onlyFileIn(folder));
        QCOMPARE(probe.videoCodec, QString("h264"));
        // The app recorded 3.2 s; a stop cut short would lose the two seconds or so that the
        // encoders and the muxer still held. A loaded machine may start late by a few frames.
        QVERIFY2(probe.duration > 2.5, qPrintable(QString::number(probe.duration)));
        child->deleteLater();
    }
};

int main(int argc, char** argv) {
    if (argc >= 4 && QByteArray(argv[1]) == "--child") {
        return runChild(argc, argv);
    }
    return studiotest::runWithStudio(argc, argv, [&] {
        TestFrontendRecord test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_frontend_record.moc"
