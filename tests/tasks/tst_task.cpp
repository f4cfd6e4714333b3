#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QUrlQuery>
#include <QtTest>
#include <memory>

#include "core/DialogSeam.h"
#include "shell/tasks/PageControl.h"
#include "shell/tasks/Task.h"
#include "support/DemoClient.h"

using live::DialogSeam;

namespace {

constexpr int kWait = 20000;

QByteArray listReply(const QJsonArray& tasks, int total, int curPage = 0) {
    const QJsonObject data{
        {"dataList", tasks}, {"totalRows", total}, {"curPage", curPage}, {"pageSize", 10}};
    return "444(" + QJsonDocument(QJsonObject{{"data", data}}).toJson(QJsonDocument::Compact) + ")";
}

QJsonObject task(int id, const QString& name) {
    return {{"taskId", id},
            {"taskType", 1},
            {"taskName", name},
            {"push_url", "rtmp://127.0.0.1:1935/live/orb" + QString::number(id)},
            {"startTime", "20240105093000"},
            {"endTime", "20240105110000"}};
}

}  // namespace

// The task list against the demo service, wired the way the main window wires it.
class TestTask : public QObject {
    Q_OBJECT

private:
    DemoClient demo_;
    DemoService& service_ = demo_.service;
    std::unique_ptr<Task> page_;
    int listReplies_ = 0;

    QTableWidget* table() { return page_->findChild<QTableWidget*>("tableWidget"); }
    PageControl* pager() { return page_->findChild<PageControl*>("widget_page"); }
    QWidget* actionCell(int row) { return table()->cellWidget(row, 3); }
    QPushButton* endButton(int row) {
        return actionCell(row)->findChild<QPushButton*>("pushButton_endTask");
    }
    void waitForList(int before) { QTRY_VERIFY_WITH_TIMEOUT(listReplies_ > before, kWait); }
    // The waiting tasks' first page, as the service has them.
    void loadList() {
        const int before = listReplies_;
        page_->refresh();
        waitForList(before);
    }
    QUrlQuery lastForm(const QString& path) {
        const QJsonObject req = service_.lastRequest(path);
        return QUrlQuery(QString::fromUtf8(DemoService::rawBody(req)));
    }
    int rowOf(const QString& name) {
        for (int r = 0; r < table()->rowCount(); ++r) {
            if (table()->item(r, 0) && table()->item(r, 0)->text() == name) {
                return r;
            }
        }
        return -1;
    }

private slots:
    void initTestCase() {
        DialogSeam::setHeadless(true);
        QVERIFY(demo_.start());
        QVERIFY(demo_.connect());
        QVERIFY(demo_.signIn());
    }

    // A fresh page for every test, wired the way the main window wires it.
    void init() {
        DialogSeam::clearShown();
        QVERIFY(service_.reset());
        page_ = std::make_unique<Task>(demo_.config, demo_.net);
        connect(demo_.net.get(), &live::OrbHttpMgr::signalReplyInfo, page_.get(),
                [this](uint8_t type, const QByteArray& body) {
                    if (type == live::kTaskListRoom || type == live::kTaskDetails) {
                        ++listReplies_;
                        page_->setData(body, type);
                    } else if (type == live::kTaskStopLive) {
                        page_->on_flush_clicked();
                    }
                });
    }

    void shortReplyFillsTenRowsWithShortDates() {
        page_->setData(listReply({task(1, "a"), task(2, "b"), task(3, "c")}, 3),
                       live::kTaskListRoom);
        QCOMPARE(table()->rowCount(), 10);
        QCOMPARE(table()->item(2, 0)->text(), QString("c"));
        QVERIFY(!table()->item(3, 0));
        QVERIFY(!actionCell(3));
        QCOMPARE(table()->item(0, 1)->text(), QString("2024-01-05 09:30"));
        QCOMPARE(table()->item(0, 2)->text(), QString("2024-01-05 11:00"));
    }

    // Only the callback wrapper goes; a name keeps its own parentheses.
    void replyIsUnwrappedOnce_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("first");
        const QString name = QStringLiteral("带括号(测试)任务");
        const QByteArray body = listReply({task(1, name)}, 1).mid(3);
        QTest::newRow("444 callback") << "444" + body << name;
        QTest::newRow("empty callback") << body << name;
        QTest::newRow("no wrapper") << body.mid(1, body.size() - 2) << name;
        QTest::newRow("not json") << QByteArray("444(not json)") << QStringLiteral("a");
        QTest::newRow("not an object") << QByteArray("[1,2]") << QStringLiteral("a");
    }
    void replyIsUnwrappedOnce() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, first);
        page_->setData(listReply({task(1, "a")}, 1), live::kTaskListRoom);
        page_->setData(reply, live::kTaskListRoom);
        QCOMPARE(table()->item(0, 0)->text(), first);
    }

    void waitingListFromTheService() {
        loadList();
        const QUrlQuery form = lastForm("/api/task/list");
        QCOMPARE(form.queryItemValue("curPage"), QString("0"));
        QCOMPARE(form.queryItemValue("taskStatus"), QString("1"));
        QCOMPARE(pager()->pageCount(), 3);
        QCOMPARE(table()->rowCount(), 10);
        // Only the wrapper's parentheses go: a name keeps its own.
        QVERIFY(rowOf("Python 入门 (第1讲)") >= 0);
        // Tasks not on air yet cannot be ended, and say why.
        const int notStarted = rowOf("高三英语冲刺（二）：阅读理解");
        QVERIFY(notStarted >= 0);
        QVERIFY(!endButton(notStarted)->isEnabled());
        QCOMPARE(endButton(notStarted)->toolTip(), QString("直播尚未开始，暂时不能结束直播"));
    }

    void pagingAsksForZeroBasedPages() {
        loadList();
        int before = listReplies_;
        QTest::mouseClick(pager()->findChild<QPushButton*>("page_last"), Qt::LeftButton);
        waitForList(before);
        QCOMPARE(lastForm("/api/task/list").queryItemValue("curPage"), QString("2"));
        QCOMPARE(pager()->findChild<QLineEdit*>("page_num")->text(), QString("3"));
        QCOMPARE(table()->rowCount(), 10);  // five tasks, still ten rows
        const int requests = service_.requests("/api/task/list").size();
        const int pending = demo_.net->pendingReplies();
        QTest::mouseClick(pager()->findChild<QPushButton*>("page_next"), Qt::LeftButton);
        // A request leaves at once: nothing more pending means nothing was sent.
        QCOMPARE(demo_.net->pendingReplies(), pending);
        QCOMPARE(service_.requests("/api/task/list").size(), requests);
    }

    void finishedFilterAndSearch() {
        int before = listReplies_;
        QTest::mouseClick(page_->findChild<QPushButton*>("task_finish"), Qt::LeftButton);
        waitForList(before);
        QCOMPARE(page_->findChild<QLabel*>("label_tips")->text(), QString("已结束"));
        QCOMPARE(lastForm("/api/task/list").queryItemValue("taskStatus"), QString("2"));
        QCOMPARE(table()->cellWidget(0, 3)->findChild<QPushButton*>("pushButton_jion")->text(),
                 QString("直播回放"));
        QVERIFY(endButton(0)->isHidden());

        before = listReplies_;
        page_->findChild<QLineEdit*>("input")->setText("物理");
        QTest::mouseClick(page_->findChild<QPushButton*>("flush"), Qt::LeftButton);
        waitForList(before);
        const QUrlQuery form = lastForm("/api/task/list");
        QCOMPARE(form.queryItemValue("taskName", QUrl::FullyDecoded), QString("物理"));
        QVERIFY(rowOf("初二物理：压强") >= 0);
        QVERIFY(rowOf("高二物理：电磁感应") >= 0);
        QVERIFY(!table()->item(2, 0));
    }

    void playbackUrlNamesTheTask() {
        QSignalSpy spy(page_.get(), &Task::signalBackplay);
        page_->backplay(0, 3);
        QCOMPARE(spy.count(), 1);
        const QString url = spy.at(0).at(0).toString();
        QVERIFY2(url.startsWith(service_.baseUrl()), qPrintable(url));
        QVERIFY2(!url.contains('%'), qPrintable(url));
        QVERIFY2(url.contains("2"), qPrintable(url));
    }

    void joiningAsksForTheTaskDetails() {
        loadList();
        QSignalSpy enter(page_.get(), &Task::signalEnterRoom);
        QTest::mouseClick(actionCell(0)->findChild<QPushButton*>("pushButton_jion"),
                          Qt::LeftButton);
        // A list reloaded while the details are on their way must not be taken for them.
        page_->setData(listReply({task(1, "a")}, 1), live::kTaskListRoom);
        QTRY_COMPARE_WITH_TIMEOUT(enter.count(), 1, kWait);
        const QList<QVariant> args = enter.takeFirst();
        QCOMPARE(args.at(2).toInt(), 0);
        const int taskId = args.at(3).toInt();
        QCOMPARE(lastForm("/api/task/detail").queryItemValue("taskId"), QString::number(taskId));
        QVERIFY(args.at(1).toString().endsWith("/live/orb" + QString::number(taskId)));
        QVERIFY(DialogSeam::shown().isEmpty());
    }

    void changedHostIsReported() {
        // Task 7 is not (or no longer) this host's: the service has no details for it.
        page_->setData(listReply({task(7, "x")}, 1), live::kTaskListRoom);
        QSignalSpy enter(page_.get(), &Task::signalEnterRoom);
        const int before = listReplies_;
        page_->joinroom(0, 3);
        waitForList(before);
        QCOMPARE(enter.count(), 0);
        QCOMPARE(DialogSeam::shown().size(), 1);
        QCOMPARE(DialogSeam::shown()[0].title, QString("警告"));
        QCOMPARE(DialogSeam::shown()[0].text,
                 QString("该直播主持人已被修改，请与直播负责人确认直播信息"));
        // The next list reply is a list again.
        page_->setData(listReply({task(1, "a")}, 1), live::kTaskListRoom);
        QCOMPARE(table()->item(0, 0)->text(), QString("a"));
    }

    void taskWithoutRoomFieldsCannotBeJoined() {
        QJsonObject broken = task(9, "y");
        broken.remove("push_url");
        page_->setData(listReply({broken}, 1), live::kTaskListRoom);
        const int requests = service_.requests("/api/task/detail").size();
        const int pending = demo_.net->pendingReplies();
        page_->joinroom(0, 3);
        QCOMPARE(demo_.net->pendingReplies(), pending);
        QCOMPARE(service_.requests("/api/task/detail").size(), requests);
    }

    void endingABroadcastAsksThenSendsStopAndReloads() {
        loadList();
        const int onAir = rowOf("高一数学：函数的单调性与最值");
        QVERIFY(onAir >= 0);
        QVERIFY(endButton(onAir)->isEnabled());

        // Declined: nothing is sent.
        const int stops = service_.requests("/api/live/stop").size();
        const int pending = demo_.net->pendingReplies();
        DialogSeam::presetAnswer(int(QDialog::Rejected));
        QTest::mouseClick(endButton(onAir), Qt::LeftButton);
        QCOMPARE(DialogSeam::shown().last().text,
                 QString("结束直播后将无法重新开始，请确认是否结束直播？"));
        QCOMPARE(demo_.net->pendingReplies(), pending);
        QCOMPARE(service_.requests("/api/live/stop").size(), stops);

        const int before = listReplies_;
        DialogSeam::presetAnswer(int(QDialog::Accepted));
        QTest::mouseClick(endButton(onAir), Qt::LeftButton);
        waitForList(before);
        QCOMPARE(lastForm("/api/live/stop").queryItemValue("taskId"), QString("1001"));
        QTRY_COMPARE_WITH_TIMEOUT(rowOf("高一数学：函数的单调性与最值"), -1, kWait);
    }

    void avatarClickAsksForTheProfile() {
        QSignalSpy spy(page_.get(), &Task::signalChangeUserInfo);
        QTest::mouseClick(page_->findChild<QLabel*>("user_image"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        page_->setUserInfo("演示主播", "/tmp/a.png");
        QCOMPARE(page_->findChild<QLabel*>("user_name")->text(), QString("演示主播"));
        QVERIFY(page_->findChild<QLabel*>("user_image")->styleSheet().contains("url(/tmp/a.png)"));
    }
};

QTEST_MAIN(TestTask)
#include "tst_task.moc"
