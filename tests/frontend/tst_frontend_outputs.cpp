#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/types.h>
#include <unistd.h>
#include <csignal>

#include "MediaProbe.h"
#include "OutputTestKit.h"
#include "RtmpServer.h"
#include "StudioTestKit.h"
#include "frontend/AudioLevelMeter.h"
#include "frontend/StudioCodes.h"

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

OBSSourceAutoRelease onChannel(uint32_t channel) {
    return obs_get_output_source(channel);
}

QString deviceOf(obs_source_t* source) {
    OBSDataAutoRelease settings = obs_source_get_settings(source);
    return QString::fromUtf8(obs_data_get_string(settings, "device_id"));
}

void recordInto(OBSApp* a, const QString& dir, const char* format) {
    config_t* profile = a->GetMainWindow()->Config();
    config_set_string(profile, "SimpleOutput", "FilePath", dir.toUtf8().constData());
    config_set_string(profile, "SimpleOutput", "RecFormat", format);
}

// Waits until the recording has taken `seconds` of video by its own frame count: on a busy
// machine the wall clock runs ahead of what reaches the file.
bool waitRecorded(double seconds) {
    obs_video_info ovi = {};
    obs_get_video_info(&ovi);
    const uint64_t frames = uint64_t(seconds * ovi.fps_num / ovi.fps_den);
    OBSOutputAutoRelease output = obs_get_output_by_name("orb-record");
    QDeadlineTimer deadline(60000);
    while (output && obs_output_active(output) && !deadline.hasExpired()) {
        if (uint64_t(obs_output_get_total_frames(output)) >= frames) {
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

// ---- The child side: "--child <mode> <folder>" records into <folder> in its own studio.

using studiotest::childSays;

int runChild(int argc, char** argv) {
    // Its own process group, so the test can kill it together with the muxer it starts.
    ::setpgid(0, 0);
    const QByteArray mode = argv[2];
    const QString folder = QString::fromLocal8Bit(argv[3]);
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
        if (!waitRecorded(mode == "kill" ? 3.5 : 3.2)) {
            childSays("recording stalled");
            return 3;
        }
        childSays("recorded");
        if (mode == "kill") {
            QTest::qWait(60000);
        }
        childSays("quitting");
    }
    childSays(QStringLiteral("leaks %1").arg(bnum_allocs()));
    return 0;
}

}  // namespace

// ---- The test side: streaming, recording and the audio channels of one studio.

class TestFrontendOutputs : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    outputtest::OutputEvents events_;

    // Starts streaming to `url` with `key`; true when the call was taken.
    bool startTo(const QString& url, const QString& key) {
        app()->setRTMPUrl(url, key);
        events_.clear();
        return app()->ctrlVoice(kStreamStart, 0);
    }

    // Waits for the stream's end and proves that nothing follows `expected`.
    void expectEnd(const QStringList& expected) {
        QVERIFY(events_.waitFor("5 false", 30000));
        events_.settle();
        QCOMPARE(events_.lines(), expected);
    }

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
        if (!app()->ctrlVoice(kRecordStop, 0) || !events_.waitFor("6 false")) {
            return QString();
        }
        return events_.lastRecordedPath();
    }

    void resetMicrophone(const char* type, const char* device) {
        studio()->ResetAudioDevice(type, device, "麦克风", 3);
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
        // A failed case must not leave the next one recording or streaming.
        if (app()->ctrlVoice(kRecordStop, 0)) {
            (void)events_.waitFor("6 false");
        }
        if (app()->ctrlVoice(kStreamStop, 0)) {
            (void)events_.waitFor("5 false");
        }
    }

    // Tests compose on the processor: the colour conversion is the processor's too, unless the
    // profile names its choice.
    void softwareRendererConvertsOnTheProcessor() {
        config_t* profile = studio()->Config();
        const auto converts = [] {
            obs_video_info ovi = {};
            return obs_get_video_info(&ovi) && ovi.gpu_conversion;
        };
        const auto automatic = [profile] {
            config_remove_value(profile, "Video", "GPUConversion");
            return studio()->ResetVideo();
        };
        QVERIFY(!converts());
        auto restore = qScopeGuard(automatic);
        config_set_bool(profile, "Video", "GPUConversion", true);
        QCOMPARE(studio()->ResetVideo(), OBS_VIDEO_SUCCESS);
        QVERIFY(converts());
        restore.dismiss();
        QCOMPARE(automatic(), OBS_VIDEO_SUCCESS);
        QVERIFY(!converts());
    }

    void streamReachesTheServerWithItsFigures() {
        RtmpServer server;
        QVERIFY(server.start());
        app()->setRTMPUrl(server.url() + "/", "orbtest");
        obs_service_t* service = studio()->GetService();
        // The client's own service type, not a module that fetches server lists.
        QCOMPARE(QString(obs_service_get_output_type(service)), QString("rtmp_output"));
        QCOMPARE(QString(obs_service_get_key(service)), QString("orbtest"));
        // Nor is any module loaded that fetches server lists or opens a control port of its own.
        for (const char* name : {"rtmp-services", "frontend-tools", "obs-websocket"}) {
            QVERIFY2(!obs_get_module(name), name);
        }
        // Idle, the figures are zeros; the engine's frame rate needs a moment to settle,
        // longer on a loaded machine.
        QVERIFY2(QTest::qWaitFor([] { return figures().fps > 15.0f; }, 20000),
                 qPrintable(QString::number(figures().fps)));
        QCOMPARE(figures().liveSeconds + figures().originFrame, 0u);

        QVERIFY(startTo(server.url() + "/", "orbtest"));
        QVERIFY2(events_.waitFor("5 true"), qPrintable(events_.lines().join(',')));
        QVERIFY2(!app()->ctrlVoice(kStreamStart, 0), "a second start while live is refused");
        QVERIFY2(!studio()->ResetOutputs(), "outputs cannot be reset while live");
        QVERIFY(outputtest::runsFor(app(), 8));
        const orbLiveImp::ResourceUtil last = figures();
        QVERIFY(app()->ctrlVoice(kStreamStop, 0));
        expectEnd({"5 true", "5 false"});

        // 800 kbps of video and 128 of audio, constant bit rate.
        QVERIFY2(last.kbs > 600.0f && last.kbs < 1400.0f, qPrintable(QString::number(last.kbs)));
        // 30 fps asked; a loaded machine skips frames, a stalled stream has none.
        QVERIFY2(last.originFrame > 10 * last.liveSeconds,
                 qPrintable(QString::number(last.originFrame)));
        QCOMPARE(figures().liveSeconds, 0u);
        QVERIFY(studio()->ResetOutputs());

        server.stop();  // finishes its recording of the stream
        const MediaProbe probe = MediaProbe::of(server.recording("orbtest"));
        QVERIFY2(probe.ok, qPrintable(server.errorLog()));
        QCOMPARE(probe.videoCodec, QString("h264"));
        QCOMPARE(probe.audioCodec, QString("aac"));
        QVERIFY2(probe.duration > 7.0, qPrintable(QString::number(probe.duration)));
    }

    // A missing address is refused at once; a refused connection, and a stop while a server
    // that never answers the handshake holds the connection, end in one later event without
    // the call waiting for the server.
    void failedConnectionsEndInOneFalse() {
        QVERIFY(!startTo(QString(), QString()));
        expectEnd({"5 false"});

        QElapsedTimer clock;
        clock.start();
        QVERIFY(startTo(QString("rtmp://127.0.0.1:%1/live/").arg(unusedPort()), "nobody"));
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        expectEnd({"5 false"});

        QTcpServer mute;
        QVERIFY(mute.listen(QHostAddress::LocalHost, 0));
        QList<QTcpSocket*> held;
        connect(&mute, &QTcpServer::newConnection,
                [&] { held.append(mute.nextPendingConnection()); });
        QVERIFY(startTo(QString("rtmp://127.0.0.1:%1/live/").arg(mute.serverPort()), "mute"));
        QVERIFY(QTest::qWaitFor([&] { return !held.isEmpty(); }, 30000));
        clock.restart();
        QVERIFY(app()->ctrlVoice(kStreamStop, 0));
        // Not the connection's own time-out (tens of seconds); a loaded machine gets a margin.
        expectEnd({"5 false"});
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        qDeleteAll(held);
    }
    // Each recording is a new file named by its start time, in the folder made on demand.
    void recordingsAreNewFiles() {
        const QString folder = recordDir("made/on/demand");
        recordInto(app(), folder, "mkv");
        const QString path = recordFor(3000);
        QVERIFY2(!path.isEmpty(), qPrintable(events_.lines().join(',')));
        QCOMPARE(events_.lines().first(), "6 true " + path);
        QCOMPARE(QFileInfo(path).absolutePath(), folder);
        QVERIFY2(QRegularExpression(R"(^\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.mkv$)")
                     .match(QFileInfo(path).fileName())
                     .hasMatch(),
                 qPrintable(path));
        const MediaProbe probe = MediaProbe::of(path);
        QCOMPARE(probe.videoCodec, QString("h264"));
        QCOMPARE(probe.width, 640);
        QCOMPARE(probe.audioCodec, QString("aac"));
        QVERIFY2(probe.duration > 2.0 && probe.duration < 5.0,
                 qPrintable(QString::number(probe.duration)));
        const QString second = recordFor(300);
        QVERIFY(!second.isEmpty() && second != path);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    }

    // Killed with everything it started, as in a crash of the session, or quitting while it
    // records: the file plays.
    void interruptedRecordingPlays_data() {
        QTest::addColumn<QString>("mode");
        QTest::newRow("killed") << "kill";
        QTest::newRow("quit") << "quit";
    }
    void interruptedRecordingPlays() {
        QFETCH(QString, mode);
        const QString folder = recordDir(mode);
        QDir().mkpath(folder);
        QProcess* child = startChild(mode, folder);
        QByteArray output;
        if (mode == "kill") {
            QVERIFY2(studiotest::waitForLine(child, output, "recorded"), output.constData());
            QCOMPARE(::kill(-static_cast<pid_t>(child->processId()), SIGKILL), 0);
        }
        QVERIFY(child->waitForFinished(90000));
        output += child->readAllStandardOutput();
        QVERIFY2(mode == "kill" || output.contains("leaks 0"), output.constData());
        const MediaProbe probe = MediaProbe::of(onlyFileIn(folder));
        QCOMPARE(probe.videoCodec, QString("h264"));
        // The quitting app recorded 3.2 s, of which a stop cut short would lose the two
        // seconds the encoders and the muxer still held; the killed one had taken 3.5 s.
        QVERIFY2(probe.duration > (mode == "kill" ? 1.0 : 2.5),
                 qPrintable(QString::number(probe.duration)));
        child->deleteLater();
    }

    // The desktop's default device on channel 1, the microphone's on channel 3; a new device
    // keeps the channel's mute and volume.
    void voiceCodesAndDeviceChanges() {
        QCOMPARE(QString(obs_source_get_id(onChannel(1))), QString(app()->OutputAudioSource()));
        QCOMPARE(deviceOf(onChannel(3)), QString("default"));
        QVERIFY(app()->ctrlVoice(kSpeakerMute, 0));
        QVERIFY(obs_source_muted(onChannel(1)));
        QVERIFY(!obs_source_muted(onChannel(3)));
        QVERIFY(app()->ctrlVoice(kSpeakerOn, 0));
        QVERIFY(!obs_source_muted(onChannel(1)));
        QVERIFY(app()->ctrlVoice(kSpeakerVolume, 40));
        QCOMPARE(obs_source_get_volume(onChannel(1)), 0.4f);
        QVERIFY(app()->ctrlVoice(kMicrophoneVolume, 250));
        QCOMPARE(obs_source_get_volume(onChannel(3)), 1.0f);
        QVERIFY(!app()->ctrlVoice(42, 0));

        QVERIFY(app()->ctrlVoice(kMicrophoneMute, 0));
        QVERIFY(app()->ctrlVoice(kMicrophoneVolume, 30));
        obs_source_t* before = onChannel(3).Get();  // identity only
        resetMicrophone(app()->InputAudioSource(), "usb-mic");
        QCOMPARE(onChannel(3).Get(), before);
        QCOMPARE(deviceOf(onChannel(3)), QString("usb-mic"));
        QCOMPARE(QString(config_get_string(studio()->Config(), "Audio", "AuxDevice1")),
                 QString("usb-mic"));
        // Another kind of capture replaces the source and inherits the channel's state.
        resetMicrophone("ffmpeg_source", "other");
        OBSSourceAutoRelease replaced = onChannel(3);
        QCOMPARE(QString(obs_source_get_id(replaced)), QString("ffmpeg_source"));
        QVERIFY(obs_source_muted(replaced));
        QCOMPARE(obs_source_get_volume(replaced), 0.3f);

        resetMicrophone(app()->InputAudioSource(), "disabled");
        QVERIFY(!onChannel(3));
        QVERIFY2(app()->ctrlVoice(kMicrophoneVolume, 60), "kept for when a device comes back");
        resetMicrophone(app()->InputAudioSource(), "default");
        QCOMPARE(obs_source_get_volume(onChannel(3)), 0.6f);
        QVERIFY(obs_source_muted(onChannel(3)));
        QVERIFY(app()->ctrlVoice(kMicrophoneOn, 0));
        QVERIFY(app()->ctrlVoice(kMicrophoneVolume, 100));
    }

    // A clip with a tone stands in for the microphone.
    void microphoneLevelReachesTheClient() {
        const QString clip = outputtest::makeToneClip(dir_.path() + "/tone.mp4", 6);
        QVERIFY(!clip.isEmpty());
        resetMicrophone("ffmpeg_source", "tone");
        OBSSourceAutoRelease microphone = onChannel(3);
        // "麦克风", or "麦克风2" while the engine has yet to let the replaced source go.
        const QString name = QString::fromUtf8(obs_source_get_name(microphone));
        QVERIFY(name.startsWith(QStringLiteral("麦克风")));
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "local_file", clip.toUtf8().constData());
        obs_data_set_bool(settings, "looping", true);
        obs_source_update(microphone, settings);

        QElapsedTimer clock;
        clock.start();
        events_.clear();
        QTRY_VERIFY_WITH_TIMEOUT(events_.levels.size() >= 6, 30000);
        const QList<orbLiveImp::SceneItemData> heard = events_.levels;
        // A few reports a second, not one per audio packet.
        QVERIFY(clock.elapsed() >= 5 * AudioLevelMeter::kIntervalMs);
        QVERIFY(events_.levelsOnMainThread);
        int loudest = 0;
        for (const orbLiveImp::SceneItemData& d : heard) {
            QCOMPARE(d.itemName, name);
            loudest = std::max<int>(loudest, d.value);
        }
        // ffmpeg's tone peaks at -18 dB.
        QVERIFY2(loudest >= 55 && loudest <= 85, qPrintable(QString::number(loudest)));

        // Muted, the level falls silent.
        QVERIFY(app()->ctrlVoice(kMicrophoneMute, 0));
        events_.clear();
        QTRY_VERIFY_WITH_TIMEOUT(events_.levels.size() >= 3 && events_.levels.last().value == 0,
                                 30000);
        QVERIFY(app()->ctrlVoice(kMicrophoneOn, 0));
        resetMicrophone(app()->InputAudioSource(), "default");
    }
};

int main(int argc, char** argv) {
    if (argc >= 4 && QByteArray(argv[1]) == "--child") {
        return runChild(argc, argv);
    }
    return studiotest::runWithStudio(argc, argv, [&] {
        TestFrontendOutputs test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_frontend_outputs.moc"
