#include <QDialog>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "MediaProbe.h"
#include "RoomWiring.h"
#include "RtmpServer.h"
#include "core/DialogSeam.h"
#include "frontend/OutputTestKit.h"
#include "frontend/StudioCodes.h"
#include "frontend/StudioTestKit.h"
#include "room/BlinkTimer.h"
#include "room/Console.h"
#include "room/InfoBar.h"
#include "room/Scene.h"
#include "room/Speaker.h"

using namespace orbLiveImp;
using studiotest::app;
using studiotest::shownTexts;

// The console, info bar and speech panel with the real studio streaming to a real server.
class TestRoomConsole : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    RtmpServer server_;
    std::unique_ptr<QWidget> room_;
    Console* console_ = nullptr;
    InfoBar* infoBar_ = nullptr;
    Scene* scene_ = nullptr;
    std::unique_ptr<RoomWiring> wiring_;

    QPushButton* button(const char* name) const { return console_->findChild<QPushButton*>(name); }

    // Answers the console's question and clicks; the library's report must follow.
    bool clickAccepted(Speaker::Button control, const QString& report) {
        live::DialogSeam::presetAnswer(int(QDialog::Accepted));
        console_->clickControl(control);
        return QTest::qWaitFor([&] { return wiring_->outputEvents().contains(report); }, 20000);
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QVERIFY(dir_.isValid());
        QVERIFY(server_.start());
        outputtest::useSmallOutput(app(), 1, 1);
        config_set_string(app()->GetMainWindow()->Config(), "SimpleOutput", "FilePath",
                          dir_.path().toUtf8().constData());
        QVERIFY(!outputtest::addMovingPicture(app(), dir_.path()).isEmpty());

        room_ = std::make_unique<QWidget>();
        room_->setObjectName("Room");
        auto* layout = new QVBoxLayout(room_.get());
        infoBar_ = new InfoBar;
        scene_ = new Scene;
        console_ = new Console;
        layout->addWidget(infoBar_);
        layout->addWidget(scene_, 1);
        layout->addWidget(console_);
        room_->resize(820, 520);
        room_->show();
        QVERIFY(QTest::qWaitForWindowExposed(room_.get(), 30000));
        wiring_ = std::make_unique<RoomWiring>(app(), scene_, console_);
    }

    void cleanupTestCase() {
        wiring_.reset();
        room_.reset();
    }

    void cleanup() {
        // A failed case must not leave the next one streaming or recording.
        if (console_->isStreaming()) {
            clickAccepted(Speaker::kLive, "5 false");
        }
        if (console_->isRecording()) {
            clickAccepted(Speaker::kRecord, "6 false");
        }
        live::DialogSeam::clearShown();
    }

    void decliningSendsNothing_data() {
        QTest::addColumn<int>("control");
        QTest::addColumn<QString>("question");
        QTest::newRow("live") << int(Speaker::kLive) << "是否要开始直播？";
        QTest::newRow("record") << int(Speaker::kRecord) << "是否要开始录制？";
    }
    void decliningSendsNothing() {
        QFETCH(int, control);
        QFETCH(QString, question);
        QSignalSpy sent(console_, &Console::signalConsoleEvent);
        live::DialogSeam::presetAnswer(int(QDialog::Rejected));
        console_->clickControl(uint8_t(control));
        QCOMPARE(shownTexts("dialog"), QStringList{question});
        QVERIFY(!console_->isStreaming());
        QVERIFY(!console_->isRecording());
        QCOMPARE(sent.count(), 0);
    }

    void streamReachesTheServer() {
        app()->setRTMPUrl(server_.url() + "/", "console");
        infoBar_->setTitle("周一晨会直播");
        infoBar_->setClock(InfoBar::kClockLive, "00:00:07");
        QVERIFY(clickAccepted(Speaker::kLive, "5 true"));
        QVERIFY(console_->isStreaming());
        QCOMPARE(button("live")->text(), QString("结束直播"));
        QCOMPARE(shownTexts("warning"), QStringList());

        // The dot blinks: both colours within a few intervals.
        QSet<QString> seen;
        QVERIFY(QTest::qWaitFor(
            [&] {
                seen << button("live")->property(BlinkTimer::kIconProperty).toString();
                return seen.contains(BlinkTimer::redIcon()) &&
                       seen.contains(BlinkTimer::whiteIcon());
            },
            5 * BlinkTimer::kIntervalMs * 2));

        Speaker speaker;
        speaker.showBound(console_);
        QVERIFY(QTest::qWaitForWindowExposed(&speaker, 30000));
        QCOMPARE(speaker.buttonText(Speaker::kLive), QString("结束直播"));
        QVERIFY(room_->grab().save(studiotest::screenshotPath("room_controls.png")));
        QVERIFY(speaker.grab().save(studiotest::screenshotPath("room_speaker.png")));

        // A few seconds of picture reach the server, by the stream's own clock.
        QVERIFY(outputtest::runsFor(app(), 2));
        QVERIFY(clickAccepted(Speaker::kLive, "5 false"));
        QCOMPARE(button("live")->text(), QString("开始直播"));
        QTRY_COMPARE(button("live")->property(BlinkTimer::kIconProperty).toString(),
                     BlinkTimer::whiteIcon());
        const MediaProbe probe = MediaProbe::of(server_.recording("console"));
        QVERIFY2(probe.ok, qPrintable(server_.errorLog()));
        QCOMPARE(probe.width, 640);
    }

    void refusedStreamUnchecksWithAWarning() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();
        app()->setRTMPUrl(QString("rtmp://127.0.0.1:%1/live/").arg(port), "nobody");
        live::DialogSeam::presetAnswer(int(QDialog::Accepted));
        console_->clickControl(Speaker::kLive);
        QVERIFY(console_->isStreaming());  // until the library says otherwise
        QTRY_VERIFY_WITH_TIMEOUT(!console_->isStreaming(), 30000);
        QCOMPARE(shownTexts("warning"), QStringList{"直播未能正常启动，请稍后再试。"});
        QCOMPARE(button("live")->text(), QString("开始直播"));
    }

    void recordingPlays() {
        QVERIFY(clickAccepted(Speaker::kRecord, "6 true"));
        QCOMPARE(button("record")->text(), QString("结束录制"));
        QVERIFY(outputtest::runsFor(app(), 2, true));  // the recording's length
        QVERIFY(clickAccepted(Speaker::kRecord, "6 false"));
        QVERIFY(!console_->isRecording());
        const MediaProbe probe = MediaProbe::of(wiring_->recordedPath());
        QVERIFY2(probe.ok, qPrintable(wiring_->recordedPath()));
        QVERIFY(probe.duration > 0.5);
    }

    void muteAndActivity() {
        QSignalSpy sent(console_, &Console::signalConsoleEvent);
        QPushButton* mute = button("mute_speaker");
        console_->setAudioActivity(false);
        console_->clickControl(Speaker::kSpeaker);
        QVERIFY(console_->speakerMuted());
        console_->setAudioActivity(true);
        // Muted, the mute icon stays: the report is not taken in.
        QVERIFY(!console_->audioActive());
        QCOMPARE(mute->styleSheet(), QString());
        console_->clickControl(Speaker::kSpeaker);
        console_->setAudioActivity(true);
        QVERIFY(console_->audioActive());
        QVERIFY(mute->styleSheet().contains("ctrl_speaker_going"));
        console_->resetVolumes();
        QCOMPARE(sent.count(), 4);
        QCOMPARE(sent.at(0).at(0).value<uint8_t>(), uint8_t(kSpeakerMute));
        QCOMPARE(sent.at(1).at(0).value<uint8_t>(), uint8_t(kSpeakerOn));
        QCOMPARE(sent.at(2).at(1).value<uint8_t>(), uint8_t(Console::kResetVolume));
        QCOMPARE(sent.at(3).at(0).value<uint8_t>(), uint8_t(kMicrophoneVolume));
    }

    void speakerMirrorsAndReports() {
        console_->setState(kMicrophoneMute, 0);
        Speaker speaker;
        speaker.showBound(console_);
        QVERIFY(speaker.isChecked(Speaker::kVolume));
        QVERIFY(!speaker.isChecked(Speaker::kSpeaker));
        QCOMPARE(speaker.buttonText(Speaker::kRecord), QString("开始录制"));
        QSignalSpy events(&speaker, &Speaker::signalSpeechEvent);
        for (const char* name : {"speaker", "volume", "chat", "live", "record", "quit"}) {
            speaker.findChild<QPushButton*>(name)->click();
        }
        QCOMPARE(events.count(), 6);
        for (int i = 0; i < events.count(); ++i) {
            QCOMPARE(int(events.at(i).at(0).value<uint8_t>()), i);
        }
        console_->setState(kMicrophoneOn, 0);
    }
};

STUDIO_TEST_MAIN(TestRoomConsole)
#include "tst_room_console.moc"
