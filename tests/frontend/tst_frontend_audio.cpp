#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include "OutputTestKit.h"
#include "StudioTestKit.h"
#include "frontend/AudioLevelMeter.h"
#include "frontend/StudioCodes.h"

using namespace orbLiveImp;

using studiotest::app;

namespace {

OBSSourceAutoRelease onChannel(uint32_t channel) {
    return obs_get_output_source(channel);
}

QString deviceOf(obs_source_t* source) {
    OBSDataAutoRelease settings = obs_source_get_settings(source);
    return QString::fromUtf8(obs_data_get_string(settings, "device_id"));
}

QString profileDevice(const char* key) {
    return QString::fromUtf8(config_get_string(app()->GetMainWindow()->Config(), "Audio", key));
}

}  // namespace

class TestFrontendAudio : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    void resetMicrophone(const char* type, const char* device) {
        app()->GetMainWindow()->ResetAudioDevice(type, device, "麦克风", 3);
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(dir_.isValid());
    }

    void muteAndVolumeFollowTheVoiceCodes() {
        // The desktop's default device on channel 1, the microphone's on channel 3.
        QCOMPARE(QString(obs_source_get_id(onChannel(1))), QString(app()->OutputAudioSource()));
        QCOMPARE(QString(obs_source_get_id(onChannel(3))), QString(app()->InputAudioSource()));
        QCOMPARE(deviceOf(onChannel(3)), QString("default"));
        QVERIFY(app()->ctrlVoice(kSpeakerMute, 0));
        QVERIFY(obs_source_muted(onChannel(1)));
        QVERIFY(!obs_source_muted(onChannel(3)));
        QVERIFY(app()->ctrlVoice(kSpeakerOn, 0));
        QVERIFY(!obs_source_muted(onChannel(1)));
        QVERIFY(app()->ctrlVoice(kMicrophoneMute, 0));
        QVERIFY(obs_source_muted(onChannel(3)));
        QVERIFY(app()->ctrlVoice(kMicrophoneOn, 0));
        QVERIFY(!obs_source_muted(onChannel(3)));

        QVERIFY(app()->ctrlVoice(kSpeakerVolume, 40));
        QCOMPARE(obs_source_get_volume(onChannel(1)), 0.4f);
        QCOMPARE(obs_source_get_volume(onChannel(3)), 1.0f);
        QVERIFY(app()->ctrlVoice(kMicrophoneVolume, 80));
        QCOMPARE(obs_source_get_volume(onChannel(3)), 0.8f);
        QVERIFY(app()->ctrlVoice(kMicrophoneVolume, 250));
        QCOMPARE(obs_source_get_volume(onChannel(3)), 1.0f);
        QVERIFY(app()->ctrlVoice(kMicrophoneVolume, -7));
        QCOMPARE(obs_source_get_volume(onChannel(3)), 0.0f);
        QVERIFY(!app()->ctrlVoice(42, 0));
    }

    void changingTheDeviceKeepsMuteAndVolume() {
        QVERIFY(app()->ctrlVoice(kMicrophoneMute, 0));
        QVERIFY(app()->ctrlVoice(kMicrophoneVolume, 30));
        obs_source_t* before = onChannel(3).Get();  // identity only
        resetMicrophone(app()->InputAudioSource(), "usb-mic");
        {
            OBSSourceAutoRelease same = onChannel(3);
            QCOMPARE(same.Get(), before);
            QCOMPARE(deviceOf(same), QString("usb-mic"));
            QVERIFY(obs_source_muted(same));
            QCOMPARE(obs_source_get_volume(same), 0.3f);
            QCOMPARE(profileDevice("AuxDevice1"), QString("usb-mic"));
        }

        // Another kind of capture replaces the source and inherits the channel's state.
        resetMicrophone("ffmpeg_source", "other");
        OBSSourceAutoRelease replaced = onChannel(3);
        QCOMPARE(QString(obs_source_get_id(replaced)), QString("ffmpeg_source"));
        QVERIFY(obs_source_muted(replaced));
        QCOMPARE(obs_source_get_volume(replaced), 0.3f);
        QCOMPARE(QString(obs_source_get_name(replaced)), QString("麦克风"));

        resetMicrophone(app()->InputAudioSource(), "disabled");
        QVERIFY(!onChannel(3));
        QVERIFY2(app()->ctrlVoice(kMicrophoneVolume, 60), "kept for when a device comes back");
        resetMicrophone(app()->InputAudioSource(), "default");
        QCOMPARE(obs_source_get_volume(onChannel(3)), 0.6f);
        QVERIFY(obs_source_muted(onChannel(3)));
        QVERIFY(app()->ctrlVoice(kMicrophoneOn, 0));
        QVERIFY(app()->ctrlVoice(kMicrophoneVolume, 100));
        QCOMPARE(profileDevice("AuxDevice1"), QString("default"));

        app()->GetMainWindow()->ResetAudioDevice(app()->OutputAudioSource(), "monitor-2",
                                                 "桌面音频", 1);
        QCOMPARE(deviceOf(onChannel(1)), QString("monitor-2"));
        QCOMPARE(profileDevice("DesktopDevice1"), QString("monitor-2"));
        QVERIFY(onChannel(3));
    }

    void levels_data() {
        QTest::addColumn<float>("db");
        QTest::addColumn<int>("level");
        QTest::newRow("silence") << -INFINITY << 0;
        QTest::newRow("below floor") << -90.0f << 0;
        QTest::newRow("half") << -30.0f << 50;
        QTest::newRow("clipping") << 3.0f << 100;
        QTest::newRow("nan") << NAN << 0;
    }
    void levels() {
        QFETCH(float, db);
        QFETCH(int, level);
        QCOMPARE(int(AudioLevelMeter::levelOf(db)), level);
    }

    // A clip with a tone stands in for the microphone.
    void microphoneLevelReachesTheClient() {
        const QString clip = outputtest::makeToneClip(dir_.path() + "/tone.mp4", 6);
        QVERIFY(!clip.isEmpty());
        resetMicrophone("ffmpeg_source", "tone");
        OBSSourceAutoRelease microphone = onChannel(3);
        OBSDataAutoRelease settings = obs_data_create();
        obs_data_set_string(settings, "local_file", clip.toUtf8().constData());
        obs_data_set_bool(settings, "looping", true);
        obs_source_update(microphone, settings);

        outputtest::OutputEvents events;
        QElapsedTimer clock;
        clock.start();
        events.attach(app());
        QTRY_VERIFY_WITH_TIMEOUT(events.levels.size() >= 6, 30000);
        const QList<orbLiveImp::SceneItemData> heard = events.levels;
        // A few reports a second, not one per audio packet.
        QVERIFY2(clock.elapsed() >= 5 * AudioLevelMeter::kIntervalMs,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(events.levelsOnMainThread);
        int loudest = 0;
        for (const orbLiveImp::SceneItemData& d : heard) {
            QCOMPARE(d.itemName, QString("麦克风"));
            loudest = std::max<int>(loudest, d.value);
        }
        // ffmpeg's tone peaks at -18 dB.
        QVERIFY2(loudest >= 55 && loudest <= 85, qPrintable(QString::number(loudest)));

        // Muted: once the first silent report came, every later one is silent too.
        QVERIFY(app()->ctrlVoice(kMicrophoneMute, 0));
        QTRY_VERIFY_WITH_TIMEOUT(!events.levels.isEmpty() && events.levels.last().value == 0,
                                 30000);
        events.clear();
        QTRY_VERIFY_WITH_TIMEOUT(events.levels.size() >= 3, 30000);
        for (const orbLiveImp::SceneItemData& d : events.levels) {
            QCOMPARE(int(d.value), 0);
        }
        app()->OBSWinReset();
        QVERIFY(app()->ctrlVoice(kMicrophoneOn, 0));
        resetMicrophone(app()->InputAudioSource(), "default");
    }
};

STUDIO_TEST_MAIN(TestFrontendAudio)

#include "tst_frontend_audio.moc"
