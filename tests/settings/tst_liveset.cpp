#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <util/config-file.h>

#include "MediaProbe.h"
#include "RtmpServer.h"
#include "core/DialogSeam.h"
#include "frontend/OutputTestKit.h"
#include "frontend/StudioCodes.h"
#include "frontend/StudioPaths.h"
#include "frontend/StudioTestKit.h"
#include "settings/LiveSet.h"
#include "shell/Scheme.h"
#include "studio/OrbOBS.h"

using studiotest::app;

namespace {

OBSBasic* basic() {
    return app()->GetMainWindow();
}

config_t* profile() {
    return basic()->Config();
}

void setVideo(uint32_t width, uint32_t height, uint32_t bitrate) {
    config_set_uint(profile(), "Video", "OutputCX", width);
    config_set_uint(profile(), "Video", "OutputCY", height);
    config_set_uint(profile(), "SimpleOutput", "VBitrate", bitrate);
    basic()->ResetVideo();
    basic()->ResetOutputs();
}

QByteArray profileOnDisk() {
    QFile file(StudioPaths::profileConfig());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool countOutput(void* count, obs_output_t*) {
    ++*static_cast<int*>(count);
    return true;
}

// A stopped output lets go of the engine's video and the stream service a moment after
// it reported its end.
bool engineIdle() {
    int outputs = 0;
    obs_enum_outputs(countOutput, &outputs);
    return outputs == 0 && !obs_video_active();
}

template <typename T>
T* child(const LiveSet& dialog, const char* name) {
    return dialog.findChild<T*>(name);
}

void click(const LiveSet& dialog, const char* name) {
    QTest::mouseClick(child<QPushButton>(dialog, name), Qt::LeftButton);
}

void choose(const LiveSet& dialog, const char* combo, const QString& text) {
    QComboBox* box = child<QComboBox>(dialog, combo);
    box->setCurrentIndex(box->findText(text));
}

}  // namespace

class TestLiveSet : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    outputtest::OutputEvents events_;
    QString folder_;
    QString format_;

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(dir_.isValid());
        live::DialogSeam::setHeadless(true);
        Scheme::instance().loadStyleSheet();
        outputtest::useSmallOutput(app());
        QVERIFY(!outputtest::addMovingPicture(app(), dir_.path()).isEmpty());
        events_.attach(app());
        folder_ = config_get_string(profile(), "SimpleOutput", "FilePath");
        format_ = config_get_string(profile(), "SimpleOutput", "RecFormat");
    }

    void init() { setVideo(1280, 720, 1500); }

    void cleanup() {
        if (app()->ctrlVoice(orbLiveImp::kStreamStop, 0)) {
            events_.waitFor("5 false");
        }
        QTRY_VERIFY_WITH_TIMEOUT(engineIdle(), 15000);
        live::DialogSeam::clearShown();
        config_remove_value(profile(), "LiveSetTest", "Marker");
        basic()->ResetAudioDevice(app()->InputAudioSource(), "default", "mic", 3);
        basic()->ResetAudioDevice(app()->OutputAudioSource(), "default", "desktop", 1);
        config_set_string(profile(), "SimpleOutput", "FilePath", folder_.toUtf8().constData());
        config_set_string(profile(), "SimpleOutput", "RecFormat", format_.toUtf8().constData());
    }

    // An unlisted size is confirmed as the default; a chosen one reaches the next stream.
    void chosenSizeAndBitRateReachTheNextStream() {
        setVideo(1600, 900, 1500);
        {
            LiveSet unlisted(nullptr);
            click(unlisted, "confirm");
            QCOMPARE(config_get_uint(profile(), "Video", "OutputCX"), 1280u);
        }
        LiveSet dialog(nullptr);
        choose(dialog, "resolution", "1920 x 1080 （16:9）");
        choose(dialog, "bitrate", "3000 （超清画质）");
        click(dialog, "confirm");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        RtmpServer server;
        QVERIFY(server.start());
        app()->setRTMPUrl(server.url() + "/", "liveset");
        events_.clear();
        QVERIFY(app()->ctrlVoice(orbLiveImp::kStreamStart, 0) && events_.waitFor("5 true"));
        {
            // On the air the size stays as it is: the change is refused with a word why.
            LiveSet busy(nullptr);
            busy.show();
            choose(busy, "resolution", "712 x 400 （16:9）");
            click(busy, "confirm");
            QVERIFY(busy.isVisible());
            QVERIFY(studiotest::shownTexts().join("").contains("请先结束直播和录制"));
        }
        QVERIFY(outputtest::runsFor(app(), 5));
        QVERIFY(app()->ctrlVoice(orbLiveImp::kStreamStop, 0) && events_.waitFor("5 false"));
        QTRY_VERIFY_WITH_TIMEOUT(engineIdle(), 15000);
        server.stop();
        const MediaProbe probe = MediaProbe::of(server.recording("liveset"));
        QCOMPARE(QSize(probe.width, probe.height), QSize(1920, 1080));
        // 3000 kbps of video and 128 of audio.
        const double kbps =
            QFileInfo(server.recording("liveset")).size() * 8 / probe.duration / 1000;
        QVERIFY2(kbps > 2600 && kbps < 3700, qPrintable(QString::number(kbps)));
    }

    void volumeSlidersMoveOnlyTheConsole() {
        QWidget console;
        auto* speaker = new QSlider(&console);
        speaker->setObjectName("slider_speaker");
        speaker->setValue(60);
        auto* microphone = new QSlider(&console);
        microphone->setObjectName("slider_volume");
        microphone->setValue(40);
        LiveSet dialog(nullptr, &console);
        QSlider* mine = child<QSlider>(dialog, "volume_mic");
        QCOMPARE(mine->value(), 40);
        mine->setValue(70);
        QCOMPARE(microphone->value(), 70);
        speaker->setValue(20);
        QCOMPARE(child<QSlider>(dialog, "volume_speaker")->value(), 20);
        QVERIFY(!dialog.changed());
        // Anything the wrapper did would save the profile with this mark in it.
        config_set_string(profile(), "LiveSetTest", "Marker", "unsaved");
        click(dialog, "confirm");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!profileOnDisk().contains("LiveSetTest"));
        QVERIFY(!LiveSet(nullptr).findChild<QSlider*>("volume_mic")->isEnabled());
    }

    // The chosen devices are captured and a recording lands in the chosen folder, once an
    // unusable one was refused. No sound server runs here, so the device lists are empty: the
    // test offers a device itself.
    void chosenDevicesAndRecordingFolder() {
        const QByteArray before = profileOnDisk();
        LiveSet dialog(nullptr);
        dialog.show();
        live::DialogSeam::presetAnswer(dir_.filePath("gone"));
        click(dialog, "browse");
        choose(dialog, "record_format", "mkv");
        click(dialog, "confirm");
        QVERIFY(dialog.isVisible());
        QCOMPARE(live::DialogSeam::shown().last().text,
                 QString("录制保存地址不存在或无法写入，请重新选择保存地址。"));
        QCOMPARE(QString(config_get_string(profile(), "SimpleOutput", "RecFormat")), format_);
        QCOMPARE(profileOnDisk(), before);

        const QString folder = dir_.filePath("recordings");
        QVERIFY(QDir().mkpath(folder));
        for (const char* name : {"microphone", "speaker"}) {
            QComboBox* box = child<QComboBox>(dialog, name);
            box->addItem("测试设备", QString("orb-test-%1").arg(name));
            box->setCurrentIndex(box->count() - 1);
        }
        live::DialogSeam::presetAnswer(folder);
        click(dialog, "browse");
        click(dialog, "confirm");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        LiveSettings now;
        OrbOBS::instance().getLiveSettings(now);
        QCOMPARE(QStringList({now.microphone.id, now.desktop.id}),
                 QStringList({"orb-test-microphone", "orb-test-speaker"}));
        events_.clear();
        QVERIFY(app()->ctrlVoice(orbLiveImp::kRecordStart, 0));
        QVERIFY(events_.waitFor("6 true"));
        QVERIFY(outputtest::runsFor(app(), 2, true));
        QVERIFY(app()->ctrlVoice(orbLiveImp::kRecordStop, 0));
        QVERIFY(events_.waitFor("6 false"));
        QTRY_VERIFY_WITH_TIMEOUT(engineIdle(), 15000);
        const QString path = events_.lastRecordedPath();
        QCOMPARE(QFileInfo(path).absolutePath(), folder);
        QVERIFY2(path.endsWith(".mkv"), qPrintable(path));
        QVERIFY(MediaProbe::of(path).duration > 1.0);
    }

    // The address is regained and copied; one variant hides a tab.
    void addressAndTabs() {
        LiveSet simple(nullptr, nullptr, 2);
        QVERIFY(!child<QTabWidget>(simple, "tabWidget")->isTabVisible(2));
        app()->setRTMPUrl("rtmp://127.0.0.1:1935/live/", "orb42");
        LiveSet dialog(nullptr);
        auto* address = child<QLineEdit>(dialog, "stream_addr");
        auto* key = child<QLineEdit>(dialog, "stream_key");
        address->setText("rtmp://elsewhere/");
        key->setText("typo");
        click(dialog, "regain_addr");
        QCOMPARE(address->text(), QString("rtmp://127.0.0.1:1935/live/"));
        QCOMPARE(key->text(), QString("orb42"));
        click(dialog, "copy_key");
        QCOMPARE(QApplication::clipboard()->text(), QString("orb42"));
        dialog.show();
        auto* tabs = child<QTabWidget>(dialog, "tabWidget");
        for (int i = 0; i < tabs->count(); ++i) {
            QVERIFY(tabs->isTabVisible(i));
            tabs->setCurrentIndex(i);
            const QString name = "liveset_" + tabs->widget(i)->objectName() + ".png";
            QVERIFY(dialog.grab().save(studiotest::screenshotPath(name)));
        }
    }
};

STUDIO_TEST_MAIN(TestLiveSet)

#include "tst_liveset.moc"
