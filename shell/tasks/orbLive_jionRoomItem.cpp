#include "shell/tasks/orbLive_jionRoomItem.h"

#include <QHBoxLayout>
#include <QPushButton>

orbLive_jionRoomItem::orbLive_jionRoomItem(int status, int row, int column, QWidget* parent)
    : QWidget(parent), row_(row), column_(column), status_(status) {
    join_ = new QPushButton(this);
    join_->setObjectName(QStringLiteral("pushButton_jion"));
    end_ = new QPushButton(tr("结束直播"), this);
    end_->setObjectName(QStringLiteral("pushButton_endTask"));
    for (QPushButton* b : {join_, end_}) {
        b->setCursor(Qt::PointingHandCursor);
        b->setFlat(true);
    }
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 12, 0);
    lay->setSpacing(16);
    lay->addStretch();
    lay->addWidget(join_);
    lay->addWidget(end_);
    setStyleSheet(QStringLiteral(
        "QPushButton { background: transparent; border: none; color: #FF5500; font-size: 12px;"
        " text-align: right; }\n"
        "QPushButton:hover { text-decoration: underline; }\n"
        "QPushButton:disabled { color: #7a4a33; }"));

    if (status == 2) {
        join_->setText(tr("直播回放"));
        end_->hide();
    } else {
        join_->setText(tr("进入直播间"));
    }
    QMetaObject::connectSlotsByName(this);
}

void orbLive_jionRoomItem::setServerType(int type) {
    if (type == 1) {
        end_->setEnabled(false);
        end_->hide();
    }
}

void orbLive_jionRoomItem::setEndLiveEnabled(bool clickable, const QString& msg) {
    end_->setEnabled(clickable);
    if (!clickable) {
        end_->setToolTip(msg);
    }
}

void orbLive_jionRoomItem::on_pushButton_jion_clicked() {
    if (status_ == 2) {
        emit backplay(row_, column_);
    } else {
        emit joinroom(row_, column_);
    }
}

void orbLive_jionRoomItem::on_pushButton_endTask_clicked() {
    emit endTask(row_, column_);
}
