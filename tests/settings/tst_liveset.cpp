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

    // Streams five seconds and returns what nginx received; `kbps` its mean bit rate.
    MediaProbe streamAndProbe(double* kbps = nullptr) {
        RtmpServer server;
        if (!server.start()) {
            return MediaProbe();
        }
        app()->setRTMPUrl(server.url() + "/", "liveset");
        events_.clear();
        if (!app()->ctrlVoice(orbLiveImp::kStreamStart, 0) || !events_.waitFor("5 true")) {
            return MediaProbe();
        }
        orbLiveImp::ResourceUtil util;
        const bool aired = QTest::qWaitFor(
            [&] { return basic()->getResourceUtility(util), util.liveSeconds >= 5; }, 30000);
        app()->ctrlVoice(orbLiveImp::kStreamStop, 0);
        events_.waitFor("5 false");
        const bool idle = QTest::qWaitFor(engineIdle, 15000);
        server.stop();
        const MediaProbe probe =
            aired && idle ? MediaProbe::of(server.recording("liveset")) : MediaProbe();
        if (kbps && probe.duration > 0) {
            *kbps = QFileInfo(server.recording("liveset")).size() * 8 / probe.duration / 1000;
        }
        return probe;
    }

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

    void unlistedSizeIsConfirmedAsTheDefault() {
        setVideo(1600, 900, 1500);
        LiveSet dialog(nullptr);
        QCOMPARE(child<QComboBox>(dialog, "resolution")->currentText(),
                 QString("1280 x 720 （推荐）"));
        QVERIFY(dialog.changed());
        click(dialog, "confirm");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(config_get_uint(profile(), "Video", "OutputCX"), 1280u);
        QCOMPARE(config_get_uint(profile(), "Video", "OutputCY"), 720u);
    }

    void chosenSizeAndBitRateReachTheNextStream() {
        LiveSet dialog(nullptr);
        QVERIFY(!dialog.changed());
        choose(dialog, "bitrate", "2000 （高清画质）");
        choose(dialog, "bitrate", "1500 （标准画质）");
        QVERIFY(dialog.changed());
        QCOMPARE(dialog.pending().bitrate, 0u);
        choose(dialog, "resolution", "1920 x 1080 （16:9）");
        choose(dialog, "bitrate", "3000 （超清画质）");
        click(dialog, "confirm");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        double kbps = 0;
        const MediaProbe probe = streamAndProbe(&kbps);
        QVERIFY(probe.ok);
        QCOMPARE(QSize(probe.width, probe.height), QSize(1920, 1080));
        // 3000 kbps of video and 128 of audio.
        QVERIFY2(kbps > 2600 && kbps < 3700, qPrintable(QString::number(kbps)));
    }

    void videoChangeIsRefusedWhileStreaming() {
        RtmpServer server;
        QVERIFY(server.start());
        app()->setRTMPUrl(server.url() + "/", "busy");
        events_.clear();
        QVERIFY(app()->ctrlVoice(orbLiveImp::kStreamStart, 0));
        QVERIFY(events_.waitFor("5 true"));
        LiveSet dialog(nullptr);
        dialog.show();
        choose(dialog, "resolution", "712 x 400 （16:9）");
        click(dialog, "confirm");
        QVERIFY(dialog.isVisible());
        QCOMPARE(live::DialogSeam::shown().size(), 1);
        QVERIFY(live::DialogSeam::shown()[0].text.contains("请先结束直播和录制"));
        QCOMPARE(config_get_uint(profile(), "Video", "OutputCX"), 1280u);
        QCOMPARE(events_.lines(), QStringList({"5 true"}));
        QVERIFY(app()->ctrlVoice(orbLiveImp::kStreamStop, 0));
        QVERIFY(events_.waitFor("5 false"));
        QTRY_VERIFY_WITH_TIMEOUT(engineIdle(), 15000);
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
        QCOMPARE(child<QSlider>(dialog, "volume_speaker")->value(), 60);
        mine->setValue(70);
        QCOMPARE(microphone->value(), 70);
        speaker->setValue(20);
        QCOMPARE(child<QSlider>(dialog, "volume_speaker")->value(), 20);
        QCOMPARE(dialog.pending().microphone.flag, 70);
        QVERIFY(!dialog.changed());
        // Anything the wrapper did would save the profile with this mark in it.
        config_set_string(profile(), "LiveSetTest", "Marker", "unsaved");
        click(dialog, "confirm");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!profileOnDisk().contains("LiveSetTest"));
        QVERIFY(!LiveSet(nullptr).findChild<QSlider*>("volume_mic")->isEnabled());
    }

    // No sound server runs here, so the lists are empty: the test offers a device itself.
    void chosenDevicesAreCaptured() {
        LiveSet dialog(nullptr);
        for (const char* name : {"microphone", "speaker"}) {
            QComboBox* box = child<QComboBox>(dialog, name);
            box->addItem("测试设备", QString("orb-test-%1").arg(name));
            box->setCurrentIndex(box->count() - 1);
        }
        click(dialog, "confirm");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        LiveSettings now;
        OrbOBS::instance().getLiveSettings(now);
        QCOMPARE(now.microphone.id, QString("orb-test-microphone"));
        QCOMPARE(now.desktop.id, QString("orb-test-speaker"));
    }

    void recordingLandsInTheChosenFolder() {
        const QString folder = dir_.filePath("recordings");
        QVERIFY(QDir().mkpath(folder));
        LiveSet dialog(nullptr);
        live::DialogSeam::presetAnswer(folder);
        click(dialog, "browse");
        QCOMPARE(child<QLineEdit>(dialog, "record_dir")->text(), folder);
        choose(dialog, "record_format", "mkv");
        click(dialog, "confirm");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        events_.clear();
        QVERIFY(app()->ctrlVoice(orbLiveImp::kRecordStart, 0));
        QVERIFY(events_.waitFor("6 true"));
        orbLiveImp::ResourceUtil util;
        QTRY_VERIFY_WITH_TIMEOUT((basic()->getResourceUtility(util), util.recordSeconds >= 2),
                                 20000);
        QVERIFY(app()->ctrlVoice(orbLiveImp::kRecordStop, 0));
        QVERIFY(events_.waitFor("6 false"));
        QTRY_VERIFY_WITH_TIMEOUT(engineIdle(), 15000);
        const QString path = events_.lastRecordedPath();
        QCOMPARE(QFileInfo(path).absolutePath(), folder);
        QVERIFY2(path.endsWith(".mkv"), qPrintable(path));
        const MediaProbe probe = MediaProbe::of(path);
        QVERIFY(probe.ok && probe.duration > 1.0);
    }

    void unusableFolderIsRefused_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("missing") << dir_.filePath("gone");
        QTest::newRow("a file") << QString(ORB_SOURCE_DIR "/README.md");
    }

    void unusableFolderIsRefused() {
        QFETCH(QString, folder);
        const QByteArray before = profileOnDisk();
        LiveSet dialog(nullptr);
        dialog.show();
        live::DialogSeam::presetAnswer(folder);
        click(dialog, "browse");
        choose(dialog, "record_format", "flv");
        click(dialog, "confirm");
        QVERIFY(dialog.isVisible());
        QCOMPARE(live::DialogSeam::shown().last().text,
                 QString("录制保存地址不存在或无法写入，请重新选择保存地址。"));
        QCOMPARE(QString(config_get_string(profile(), "SimpleOutput", "FilePath")), folder_);
        QCOMPARE(QString(config_get_string(profile(), "SimpleOutput", "RecFormat")), format_);
        QCOMPARE(profileOnDisk(), before);
    }

    void addressIsRegainedAndCopied() {
        app()->setRTMPUrl("rtmp://127.0.0.1:1935/live/", "orb42");
        LiveSet dialog(nullptr);
        auto* address = child<QLineEdit>(dialog, "stream_addr");
        auto* key = child<QLineEdit>(dialog, "stream_key");
        address->setText("rtmp://elsewhere/");
        key->setText("typo");
        click(dialog, "regain_addr");
        QCOMPARE(address->text(), QString("rtmp://127.0.0.1:1935/live/"));
        QCOMPARE(key->text(), QString("orb42"));
        click(dialog, "copy_addr");
        QCOMPARE(QApplication::clipboard()->text(), address->text());
        click(dialog, "copy_key");
        QCOMPARE(QApplication::clipboard()->text(), QString("orb42"));
    }

    void tabsOfEachVariant() {
        LiveSet simple(nullptr, nullptr, 2);
        QVERIFY(!child<QTabWidget>(simple, "tabWidget")->isTabVisible(2));
        LiveSet dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, 30000));
        // Dragged by a press anywhere that is not a control.
        const QPoint start = dialog.pos();
        const QPoint grip(300, 20);
        const QPoint to = grip + QPoint(40, 30);
        for (auto [type, at, button, buttons] :
             {std::make_tuple(QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton),
              std::make_tuple(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton),
              std::make_tuple(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton)}) {
            QMouseEvent event(type, at, dialog.mapToGlobal(at), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &event);
        }
        QTRY_COMPARE_WITH_TIMEOUT(dialog.pos(), start + QPoint(40, 30), 10000);
        const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(dir));
        auto* tabs = child<QTabWidget>(dialog, "tabWidget");
        for (int i = 0; i < tabs->count(); ++i) {
            QVERIFY(tabs->isTabVisible(i));
            tabs->setCurrentIndex(i);
            const QString name = tabs->widget(i)->objectName();
            QVERIFY(dialog.grab().save(QString("%1/liveset_%2.png").arg(dir, name)));
        }
    }
};

STUDIO_TEST_MAIN(TestLiveSet)

#include "tst_liveset.moc"
