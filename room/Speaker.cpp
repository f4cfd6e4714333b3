#include "room/Speaker.h"

#include <QMouseEvent>

#include "room/Console.h"
#include "shell/Scheme.h"
#include "ui_Speaker.h"

namespace {

const char* const kValueProperty = "value";

QString speakerIcon(bool muted, bool active) {
    if (muted) {
        return QStringLiteral(":/image/ctrl_speaker_off.png");
    }
    return active ? QStringLiteral(":/image/ctrl_speaker_going.png")
                  : QStringLiteral(":/image/ctrl_speaker_on.png");
}

QString microphoneIcon(bool muted) {
    return muted ? QStringLiteral(":/image/ctrl_volume_off.png")
                 : QStringLiteral(":/image/ctrl_volume_on.png");
}

}  // namespace

Speaker::Speaker(QWidget* parent) : QWidget(parent), ui_(new Ui::Speaker) {
    qRegisterMetaType<uint8_t>("uint8_t");
    ui_->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(Scheme::instance().styleSheet(QSS_SPEAKER));
    for (Button which : {kSpeaker, kVolume, kChat, kLive, kRecord, kQuit}) {
        QAbstractButton* b = button(which);
        b->setProperty(kValueProperty, int(which));
        connect(b, &QAbstractButton::clicked, this, &Speaker::onButtonClicked);
    }
    connect(ui_->speaker, &QAbstractButton::toggled, this, &Speaker::updateMuteIcons);
    connect(ui_->volume, &QAbstractButton::toggled, this, &Speaker::updateMuteIcons);
    updateMuteIcons();
}

Speaker::~Speaker() = default;

QAbstractButton* Speaker::button(Button which) const {
    switch (which) {
        case kSpeaker:
            return ui_->speaker;
        case kVolume:
            return ui_->volume;
        case kChat:
            return ui_->chat;
        case kLive:
            return ui_->live;
        case kRecord:
            return ui_->record;
        case kQuit:
        default:
            return ui_->quit;
    }
}

void Speaker::onButtonClicked() {
    emit signalSpeechEvent(uint8_t(sender()->property(kValueProperty).toInt()));
}

void Speaker::setState(uint8_t code, bool value) {
    switch (code) {
        case kSpeaker:
        case kVolume:
        case kChat:
            button(Button(code))->setChecked(value);
            break;
        case kLive:
            ui_->live->setText(value ? tr("结束直播") : tr("开始直播"));
            break;
        case kRecord:
            ui_->record->setText(value ? tr("结束录制") : tr("开始录制"));
            break;
        default:
            break;
    }
}

void Speaker::setAudioActivity(bool active) {
    if (ui_->speaker->isChecked()) {
        return;
    }
    audioActive_ = active;
    updateMuteIcons();
}

void Speaker::updateMuteIcons() {
    ui_->speaker->setIcon(QIcon(speakerIcon(ui_->speaker->isChecked(), audioActive_)));
    ui_->volume->setIcon(QIcon(microphoneIcon(ui_->volume->isChecked())));
}

void Speaker::showBound(const Console* console) {
    if (console) {
        setState(kSpeaker, console->speakerMuted());
        setState(kVolume, console->microphoneMuted());
        setState(kLive, console->isStreaming());
        setState(kRecord, console->isRecording());
    }
    show();
}

void Speaker::setTime(const QString& text) {
    ui_->time->setText(text);
}

bool Speaker::isChecked(Button which) const {
    return button(which)->isChecked();
}

QString Speaker::buttonText(Button which) const {
    return button(which)->text();
}

void Speaker::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPos() - frameGeometry().topLeft();
    }
    QWidget::mousePressEvent(event);
}

void Speaker::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPos() - dragOffset_);
    }
    QWidget::mouseMoveEvent(event);
}

void Speaker::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}
