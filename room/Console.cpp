#include "room/Console.h"

#include "core/DialogSeam.h"
#include "core/MessageBox.h"
#include "frontend/StudioCodes.h"
#include "room/BlinkTimer.h"
#include "room/Speaker.h"
#include "shell/Scheme.h"
#include "shell/ormLive_AskDialog.h"
#include "ui_Console.h"

using namespace orbLiveImp;

namespace {

// Shared by every console so a rebuilt one keeps the rhythm.
bool g_livePhase = true;
bool g_recordPhase = true;

constexpr int kAskBothButtons = 3;

const char* const kActivitySheet =
    "QPushButton#mute_speaker:!checked { image: url(:/image/ctrl_speaker_going.png); }";

}  // namespace

// What differs between the live and the record button.
struct Console::Texts {
    uint8_t startCode;
    uint8_t stopCode;
    const char* askStart;
    const char* askStop;
    const char* startText;
    const char* stopText;
    const char* failedToStart;
    const char* failedToStop;
};

const Console::Texts Console::kLiveTexts{
    kStreamStart,
    kStreamStop,
    QT_TRANSLATE_NOOP("Console", "是否要开始直播？"),
    QT_TRANSLATE_NOOP("Console", "是否要结束直播？"),
    QT_TRANSLATE_NOOP("Console", "开始直播"),
    QT_TRANSLATE_NOOP("Console", "结束直播"),
    QT_TRANSLATE_NOOP("Console", "直播未能正常启动，请稍后再试。"),
    QT_TRANSLATE_NOOP("Console", "直播未能正常停止，请稍后再试。")};
const Console::Texts Console::kRecordTexts{
    kRecordStart,
    kRecordStop,
    QT_TRANSLATE_NOOP("Console", "是否要开始录制？"),
    QT_TRANSLATE_NOOP("Console", "是否要结束录制？"),
    QT_TRANSLATE_NOOP("Console", "开始录制"),
    QT_TRANSLATE_NOOP("Console", "结束录制"),
    QT_TRANSLATE_NOOP("Console", "录制未能正常启动，请稍后再试。"),
    QT_TRANSLATE_NOOP("Console", "录制未能正常停止，请稍后再试。")};

Console::Console(QWidget* parent) : QWidget(parent), ui_(new Ui::Console) {
    qRegisterMetaType<uint8_t>("uint8_t");
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(Scheme::instance().styleSheet(QSS_CONSOLE));
    liveBlink_ = std::make_unique<BlinkTimer>(ui_->live, g_livePhase);
    recordBlink_ = std::make_unique<BlinkTimer>(ui_->record, g_recordPhase);
    liveBlink_->reset();
    recordBlink_->reset();
}

Console::~Console() = default;

void Console::on_mute_speaker_clicked() {
    emit signalConsoleEvent(ui_->mute_speaker->isChecked() ? kSpeakerMute : kSpeakerOn, 0);
}

void Console::on_mute_volume_clicked() {
    emit signalConsoleEvent(ui_->mute_volume->isChecked() ? kMicrophoneMute : kMicrophoneOn, 0);
}

void Console::on_slider_speaker_valueChanged(int value) {
    ui_->mix_speaker->setNum(value);
    emit signalConsoleEvent(kSpeakerVolume, uint8_t(value));
}

void Console::on_slider_volume_valueChanged(int value) {
    ui_->mix_volume->setNum(value);
    emit signalConsoleEvent(kMicrophoneVolume, uint8_t(value));
}

void Console::on_live_clicked() {
    askAndSend(liveOutput());
}

void Console::on_record_clicked() {
    askAndSend(recordOutput());
}

Console::Output Console::liveOutput() const {
    return {ui_->live, liveBlink_.get(), kLiveTexts};
}

Console::Output Console::recordOutput() const {
    return {ui_->record, recordBlink_.get(), kRecordTexts};
}

void Console::askAndSend(const Output& output) {
    const bool start = output.button->isChecked();
    const QString text = tr(start ? output.texts.askStart : output.texts.askStop);
    ormLive_AskDialog dialog(tr("询问"), text, kAskBothButtons, this);
    if (live::DialogSeam::exec(&dialog, text) != QDialog::Accepted) {
        output.button->setChecked(!start);
        return;
    }
    emit signalConsoleEvent(start ? output.texts.startCode : output.texts.stopCode, 0);
}

void Console::slotConsoleEvent(uint8_t type, uint8_t value) {
    setState(type, value);
}

void Console::setState(uint8_t code, uint8_t /*value*/) {
    switch (code) {
        case kSpeakerOn:
        case kSpeakerMute:
            setMuted(ui_->mute_speaker, code == kSpeakerMute);
            break;
        case kMicrophoneOn:
        case kMicrophoneMute:
            setMuted(ui_->mute_volume, code == kMicrophoneMute);
            break;
        case kStreamStart:
            outputStarted(liveOutput());
            break;
        case kStreamStop:
            outputStopped(liveOutput());
            break;
        case kRecordStart:
            outputStarted(recordOutput());
            break;
        case kRecordStop:
            outputStopped(recordOutput());
            break;
        default:
            break;
    }
}

void Console::setMuted(QAbstractButton* button, bool muted) {
    if (button->isChecked() != muted) {
        button->setChecked(muted);
    }
}

// The button said "stop" was asked for, yet the output runs: the stop did not happen.
void Console::outputStarted(const Output& output) {
    if (!output.button->isChecked()) {
        output.button->setChecked(true);
        live::MessageBox::warning(this, tr("Warning"), tr(output.texts.failedToStop));
    }
    output.button->setText(tr(output.texts.stopText));
    output.blink->start();
}

// The button said "running", yet the output ended: the start did not hold.
void Console::outputStopped(const Output& output) {
    if (output.button->isChecked()) {
        output.button->setChecked(false);
        live::MessageBox::warning(this, tr("Warning"), tr(output.texts.failedToStart));
    }
    output.button->setText(tr(output.texts.startText));
    output.blink->stop();
}

void Console::setUtility(const QString& text) {
    ui_->utility->setText(text);
}

void Console::setAudioActivity(bool active) {
    if (ui_->mute_speaker->isChecked()) {
        return;
    }
    audioActive_ = active;
    ui_->mute_speaker->setStyleSheet(active ? QString::fromLatin1(kActivitySheet) : QString());
}

void Console::clickControl(uint8_t code) {
    switch (code) {
        case Speaker::kSpeaker:
            ui_->mute_speaker->click();
            break;
        case Speaker::kVolume:
            ui_->mute_volume->click();
            break;
        case Speaker::kLive:
            ui_->live->click();
            break;
        case Speaker::kRecord:
            ui_->record->click();
            break;
        default:
            break;
    }
}

void Console::resetVolumes() {
    ui_->slider_speaker->setValue(kResetVolume);
    ui_->slider_volume->setValue(kResetVolume);
}

bool Console::isStreaming() const {
    return ui_->live->isChecked();
}

bool Console::isRecording() const {
    return ui_->record->isChecked();
}

bool Console::speakerMuted() const {
    return ui_->mute_speaker->isChecked();
}

bool Console::microphoneMuted() const {
    return ui_->mute_volume->isChecked();
}
