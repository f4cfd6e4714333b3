#include "shell/tasks/Task.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHeaderView>

#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "core/Log.h"
#include "net/ListReply.h"
#include "net/OrbHttpMgr.h"
#include "shell/RequestNotice.h"
#include "shell/ormLive_AskDialog.h"
#include "shell/tasks/PageControl.h"
#include "shell/tasks/orbLive_jionRoomItem.h"
#include "ui_Task.h"

namespace {

enum FilterId { kWaiting = 1, kFinished = 2, kJoin = 3, kAll = 6 };
constexpr int kMinRows = 10;
constexpr int kRowHeight = 44;

// "20240105093000" -> "2024-01-05 09:30"
QString shortTime(QString t) {
    t.insert(4, QLatin1Char('-')).insert(7, QLatin1Char('-')).insert(10, QLatin1Char(' '));
    t.insert(13, QLatin1Char(':')).insert(16, QLatin1Char(':'));
    t.chop(3);
    return t;
}

QTableWidgetItem* centred(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

}  // namespace

Task::Task(std::shared_ptr<live::IConfig> config, std::shared_ptr<live::INetwork> net,
           QWidget* parent)
    : QWidget(parent),
      ui_(new Ui::Task),
      config_(std::move(config)),
      net_(std::move(net)),
      group_(new QButtonGroup(this)) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("Task"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_StyledBackground);
    group_->setExclusive(true);
    group_->addButton(ui_->task_wait, kWaiting);
    group_->addButton(ui_->task_finish, kFinished);
    group_->addButton(ui_->task_join, kJoin);
    group_->addButton(ui_->task_all, kAll);
    connect(group_, &QButtonGroup::idClicked, this, &Task::slotButtonClicked);
    connect(ui_->widget_page, &PageControl::getPageData, this,
            [this](int page) { request(page, ui_->widget_page->pageSize(), status_, QString()); });
    connect(ui_->input, &QLineEdit::returnPressed, this, &Task::on_flush_clicked);
    ui_->user_image->installEventFilter(this);
    setupTable();
}

Task::~Task() = default;

int Task::serverType() const {
    return config_ ? config_->getType() : 0;
}

void Task::setupTable() {
    QTableWidget* t = ui_->tableWidget;
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setAlternatingRowColors(true);
    t->setShowGrid(false);
    t->verticalHeader()->setVisible(false);
    QHeaderView* h = t->horizontalHeader();
    h->setMinimumSectionSize(25);
    h->setDefaultSectionSize(100);
    h->setHighlightSections(true);
    h->setSortIndicatorShown(false);
    h->setStretchLastSection(true);
    h->setDefaultAlignment(Qt::AlignCenter);
    if (serverType() != 0) {
        ui_->task_finish->hide();
        h->setSectionResizeMode(QHeaderView::Stretch);
    } else {
        h->setSectionResizeMode(0, QHeaderView::Stretch);
        h->resizeSection(1, 180);
        h->resizeSection(2, 180);
    }
}

void Task::request(int pageIndex, int pageSize, int status, const QString& name) {
    if (!net_) {
        return;
    }
    live::OrbHttpMgr::IParamListTask record;
    record.type = live::kTaskListRoom;
    record.variant = static_cast<uint8_t>(serverType());
    record.curPage = pageIndex;
    record.pageSize = pageSize;
    record.taskStatus = status;
    record.taskName = name;
    RequestNotice::send(net_.get(), live::kTaskListRoom, net_->buildArgs(&record), this,
                        "Task::request");
}

void Task::slotButtonClicked(int id) {
    if (id == kWaiting || id == kFinished) {
        ui_->label_tips->setText(id == kWaiting ? tr("待开播") : tr("已结束"));
        status_ = id;
        request(0, ui_->widget_page->pageSize(), status_, QString());
    } else if (id == kJoin) {
        ormLive_AskDialog dialog(tr("加入直播"), QString(), ormLive_AskDialog::kJoin, this);
        live::DialogSeam::exec(&dialog);
    }
}

void Task::refresh() {
    const bool finished = ui_->task_finish->isVisible() && ui_->task_finish->isChecked();
    slotButtonClicked(finished ? kFinished : kWaiting);
}

void Task::on_flush_clicked() {
    request(0, ui_->widget_page->pageSize(), status_, ui_->input->text());
}

void Task::on_logout_clicked() {
    emit signalLogout();
}

bool Task::setData(const QByteArray& reply, uint8_t type) {
    QJsonObject data;
    if (!live::ListReply::unwrap(reply, serverType(), &data)) {
        if (type == live::kTaskDetails) {
            joining_ = false;  // the details will not come; the next press asks again
        }
        return false;
    }
    if (type == live::kTaskDetails) {
        if (!joining_) {
            live::log::warn("{}: task details nobody waits for", "Task::setData");
            return true;
        }
        onTaskDetails(data);
        return true;
    }
    fillTable(data);
    return true;
}

void Task::fillTable(const QJsonObject& data) {
    // A task the row could not be filled from, or entered with, is left out.
    dataList_ = QJsonArray();
    const QJsonArray tasks = data.value(QStringLiteral("dataList")).toArray();
    for (const QJsonValue& task : tasks) {
        if (task.isObject() && task.toObject().value(QStringLiteral("taskId")).isDouble()) {
            dataList_.append(task);
        }
    }
    if (dataList_.size() != tasks.size()) {
        live::log::warn("{}: {} unreadable tasks in the list left out", "Task::setData",
                        tasks.size() - dataList_.size());
    }
    PageControl* pages = ui_->widget_page;
    pages->setPageSize(data.value(QStringLiteral("pageSize")).toInt());
    pages->setData(data.value(QStringLiteral("totalRows")).toInt(),
                   data.value(QStringLiteral("curPage")).toInt());
    QTableWidget* t = ui_->tableWidget;
    t->clearContents();
    t->setRowCount(qMax(kMinRows, dataList_.size()));
    for (int i = 0; i < dataList_.size(); ++i) {
        fillRow(i, dataList_.at(i).toObject());
    }
}

void Task::fillRow(int row, const QJsonObject& task) {
    QTableWidget* t = ui_->tableWidget;
    t->setRowHeight(row, kRowHeight);
    t->setItem(row, 0, centred(task.value(QStringLiteral("taskName")).toString()));
    t->setItem(row, 1, centred(shortTime(task.value(QStringLiteral("startTime")).toString())));
    t->setItem(row, 2, centred(shortTime(task.value(QStringLiteral("endTime")).toString())));
    auto* item = new orbLive_jionRoomItem(status_, row, 3, t);
    item->setServerType(serverType());
    if (task.contains(QStringLiteral("clickableEndLiveBtn"))) {
        item->setEndLiveEnabled(
            task.value(QStringLiteral("clickableEndLiveBtn")).toBool(true),
            task.value(QStringLiteral("disableClickableEndLiveBtnMsg")).toString());
    }
    connect(item, &orbLive_jionRoomItem::joinroom, this, &Task::joinroom);
    connect(item, &orbLive_jionRoomItem::backplay, this, &Task::backplay);
    connect(item, &orbLive_jionRoomItem::endTask, this, &Task::endTask);
    t->setCellWidget(row, 3, item);
}

void Task::joinroom(int row, int) {
    const QJsonObject task = dataList_.at(row).toObject();
    for (const char* key : {"taskId", "taskType", "taskName", "push_url"}) {
        if (!task.contains(QLatin1String(key))) {
            live::log::error("{}: invalid live room info", "Task::joinroom");
            return;
        }
    }
    joining_ = true;
    joiningTaskId_ = task.value(QStringLiteral("taskId")).toInt();
    if (net_) {
        live::OrbHttpMgr::IParamID record;
        record.type = live::kTaskDetails;
        record.id = joiningTaskId_;
        if (!RequestNotice::send(net_.get(), live::kTaskDetails, net_->buildArgs(&record), this,
                                 "Task::joinroom")) {
            joining_ = false;
        }
    }
}

void Task::onTaskDetails(const QJsonObject& data) {
    joining_ = false;
    if (!data.isEmpty() && data.value(QStringLiteral("taskId")).toInt() == joiningTaskId_) {
        emit signalEnterRoom(data.value(QStringLiteral("taskName")).toString(),
                             data.value(QStringLiteral("push_url")).toString(), 0, joiningTaskId_,
                             data.value(QStringLiteral("taskType")).toInt());
        return;
    }
    const QString text = tr("该直播主持人已被修改，请与直播负责人确认直播信息");
    ormLive_AskDialog dialog(tr("警告"), text, ormLive_AskDialog::kOk, this);
    live::DialogSeam::exec(&dialog, text);
}

void Task::backplay(int row, int) {
    const int taskId = dataList_.at(row).toObject().value(QStringLiteral("taskId")).toInt();
    QString url = net_ ? net_->getUrl(live::kTaskFinishedTask) : QString();
    url = url.arg(config_ ? config_->getName(2) : QString()).arg(taskId);
    emit signalBackplay(url);
}

void Task::endTask(int row, int) {
    const QString text = tr("结束直播后将无法重新开始，请确认是否结束直播？");
    ormLive_AskDialog dialog(tr("询问"), text, ormLive_AskDialog::kOkCancel, this);
    if (live::DialogSeam::exec(&dialog, text) != QDialog::Accepted || !net_) {
        return;
    }
    live::OrbHttpMgr::IParamID record;
    record.type = live::kTaskStopLive;
    record.id = dataList_.at(row).toObject().value(QStringLiteral("taskId")).toInt();
    RequestNotice::send(net_.get(), live::kTaskStopLive, net_->buildArgs(&record), this,
                        "Task::endTask");
}

void Task::setUserInfo(const QString& name, const QString& avatarPath) {
    ui_->user_name->setText(name);
    ui_->user_image->setStyleSheet(
        QStringLiteral(
            "QLabel#user_image{\n        border-image: url(%1);        border-radius:30px;}")
            .arg(avatarPath));
}

bool Task::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->user_image && event->type() == QEvent::MouseButtonPress) {
        emit signalChangeUserInfo();
    }
    return QWidget::eventFilter(watched, event);
}
