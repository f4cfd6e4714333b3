#include "room/InfoBar.h"

#include "shell/Scheme.h"
#include "ui_InfoBar.h"

InfoBar::InfoBar(QWidget* parent) : QWidget(parent), ui_(new Ui::InfoBar) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(Scheme::instance().styleSheet(QSS_INFOBAR));
    ui_->speech->setIcon(QIcon(QStringLiteral(":/image/ctrl_speech.png")));
    connect(ui_->speech, &QToolButton::clicked, this, &InfoBar::signalSpeechMode);
}

InfoBar::~InfoBar() = default;

void InfoBar::setTitle(const QString& title) {
    ui_->title->setText(title);
}

QString InfoBar::title() const {
    return ui_->title->text();
}

void InfoBar::setClock(uint8_t index, const QString& text) {
    if (index == kClockLive) {
        ui_->time_live->setText(text);
    } else if (index == kClockRecord) {
        ui_->time_record->setText(text);
    }
}

QString InfoBar::clock(uint8_t index) const {
    return index == kClockLive ? ui_->time_live->text() : ui_->time_record->text();
}
