#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class Console;
}

class BlinkTimer;
class QAbstractButton;

// The broadcast controls below the preview: speaker and microphone mute and volume, start
// and stop streaming and recording, and the statistics line. It never acts itself: user
// actions leave as signalConsoleEvent (voice codes) and the studio's answers come back
// through setState, which alone moves the buttons into their running states.
class Console : public QWidget {
    Q_OBJECT
public:
    static constexpr int kResetVolume = 80;

    explicit Console(QWidget* parent = nullptr);
    ~Console() override;

    // A state the studio reported (voice codes 0..9).
    void setState(uint8_t code, uint8_t value);
    void setUtility(const QString& text);
    // The speaker icon shows sound going out while not muted.
    void setAudioActivity(bool active);
    bool audioActive() const { return audioActive_; }
    // Clicks a control as the user would; `code` is a Speaker::Button value (0 speaker
    // mute, 1 microphone mute, 3 live, 4 record).
    void clickControl(uint8_t code);
    void resetVolumes();

    bool isStreaming() const;
    bool isRecording() const;
    bool speakerMuted() const;
    bool microphoneMuted() const;

signals:
    void signalConsoleEvent(uint8_t type, uint8_t value);

public slots:
    void on_live_clicked();
    void on_record_clicked();
    void on_mute_speaker_clicked();
    void on_mute_volume_clicked();
    void on_slider_speaker_valueChanged(int value);
    void on_slider_volume_valueChanged(int value);
    void slotConsoleEvent(uint8_t type, uint8_t value);

private:
    struct Texts;
    struct Output {
        QAbstractButton* button;
        BlinkTimer* blink;
        const Texts& texts;
    };
    static const Texts kLiveTexts;
    static const Texts kRecordTexts;

    Output liveOutput() const;
    Output recordOutput() const;
    void askAndSend(const Output& output);
    void outputStarted(const Output& output);
    void outputStopped(const Output& output);
    void setMuted(QAbstractButton* button, bool muted);

    std::unique_ptr<Ui::Console> ui_;
    std::unique_ptr<BlinkTimer> liveBlink_;
    std::unique_ptr<BlinkTimer> recordBlink_;
    bool audioActive_ = false;
};
