#include "room/RoomPlaceholder.h"

#include <QLabel>
#include <QVBoxLayout>

#include "core/Log.h"

namespace {

QLabel* label(const QString& objectName, const QString& text, int pixelSize, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(objectName);
    l->setAlignment(Qt::AlignCenter);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setStyleSheet(QStringLiteral("font-size:%1px;").arg(pixelSize));
    return l;
}

}  // namespace

RoomPlaceholder::RoomPlaceholder(Edition edition, QWidget* parent)
    : IRoom(parent), edition_(edition) {
    setObjectName(QStringLiteral("RoomPlaceholder"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("QWidget#RoomPlaceholder { background-color: rgb(21,22,26); }\n"
                       "QWidget#RoomPlaceholder QLabel { color: rgb(200,202,208); }"));
    const QString kind = edition == kSpeech ? tr("演讲直播间") : tr("直播间");
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    title_ = label(QStringLiteral("label_title"), QString(), 24, this);
    pushUrl_ = label(QStringLiteral("label_push"), QString(), 14, this);
    layout->addWidget(label(QStringLiteral("label_kind"), kind, 14, this));
    layout->addWidget(title_);
    layout->addWidget(pushUrl_);
    layout->addWidget(label(QStringLiteral("label_hint"),
                            tr("直播功能即将开放，关闭窗口可返回任务列表"), 14, this));
    layout->addStretch(1);
}

void RoomPlaceholder::enterRoom(const QString& title, QString& pushUrl, uint32_t taskId,
                                uint32_t mode) {
    taskId_ = taskId;
    mode_ = mode;
    inRoom_ = true;
    title_->setText(title);
    pushUrl_->setText(tr("推流地址 %1").arg(pushUrl));
    live::log::info("{}: task {} mode {}", "RoomPlaceholder::enterRoom", taskId, mode);
}

bool RoomPlaceholder::leaveRoom() {
    inRoom_ = false;
    return true;
}

bool RoomPlaceholder::onLiveStarted() {
    return false;
}

bool RoomPlaceholder::onLiveStopped() {
    return false;
}
