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

    static QString pageShown(PageControl& pc) {
        return pc.findChild<QLineEdit*>("page_num")->text();
    }
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
        const auto found = table()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? -1 : found.first()->row();
    }

private slots:
    void initTestCase() {
        DialogSeam::setHeadless(true);
        QVERIFY(demo_.start());
        QVERIFY(demo_.connect());
        QVERIFY(demo_.signIn());
    }

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

    // The paging bar alone, as the replies set it.
    void pagerCountsPagesAndShowsTheReplysPage() {
        PageControl pc;
        pc.setData(25, 2);
        QCOMPARE(pc.pageCount(), 3);
        QCOMPARE(pageShown(pc), QString("3"));
        QCOMPARE(pc.findChild<QLabel*>("tips")->text(), QString("共25条信息，分3页显示"));
        // A reply naming a page past the end shows the last page.
        pc.setData(25, 7);
        QCOMPARE(pageShown(pc), QString("3"));
        pc.setPageSize(5);
        QCOMPARE(pc.pageCount(), 5);
        pc.setPageSize(0);
        QCOMPARE(pc.pageSize(), 5);
        pc.setData(0, 0);
        QCOMPARE(pc.pageCount(), 1);
    }

    void pagerButtonsRequestZeroBasedPages_data() {
        QTest::addColumn<int>("replyPage");
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("requested");  // -1: nothing sent
        QTest::newRow("next on the last page") << 2 << "page_next"
                                               << "" << -1;
        QTest::newRow("next") << 0 << "page_next"
                              << "" << 1;
        QTest::newRow("previous on the first") << 0 << "page_previous"
                                               << "" << -1;
        QTest::newRow("jump to abc") << 2 << "page_jump"
                                     << "abc" << 0;
        QTest::newRow("jump past the end") << 0 << "page_jump"
                                           << "99" << 2;
        QTest::newRow("jump to the shown page") << 1 << "page_jump"
                                                << "2" << -1;
    }
    void pagerButtonsRequestZeroBasedPages() {
        QFETCH(int, replyPage);
        QFETCH(QString, buttonName);
        QFETCH(QString, typed);
        QFETCH(int, requested);
        PageControl pc;
        pc.setData(25, replyPage);
        if (!typed.isEmpty()) {
            pc.findChild<QLineEdit*>("page_num")->setText(typed);
        }
        QSignalSpy spy(&pc, &PageControl::getPageData);
        QTest::mouseClick(pc.findChild<QPushButton*>(buttonName), Qt::LeftButton);
        if (requested < 0) {
            QCOMPARE(spy.count(), 0);
        } else {
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toInt(), requested);
        }
        // The shown page waits for the reply.
        QCOMPARE(pc.currentPage(), qMin(replyPage + 1, 3));
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
    }
    void replyIsUnwrappedOnce() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, first);
        page_->setData(listReply({task(1, "a")}, 1), live::kTaskListRoom);
        QCOMPARE(table()->rowCount(), 10);
        QVERIFY(!actionCell(1));
        QCOMPARE(table()->item(0, 1)->text(), QString("2024-01-05 09:30"));
        page_->setData(reply, live::kTaskListRoom);
        QCOMPARE(table()->item(0, 0)->text(), first);
    }

    void waitingListFromTheService() {
        loadList();
        const QUrlQuery form = lastForm("/api/task/list");
        QCOMPARE(form.queryItemValue("curPage"), QString("0"));
        QCOMPARE(form.queryItemValue("taskStatus"), QString("1"));
        QCOMPARE(pager()->pageCount(), 3);
        // Tasks not on air yet cannot be ended, and say why.
        const int notStarted = rowOf("高三英语冲刺（二）：阅读理解");
        QVERIFY(notStarted >= 0);
        QVERIFY(!endButton(notStarted)->isEnabled());
        QCOMPARE(endButton(notStarted)->toolTip(), QString("直播尚未开始，暂时不能结束直播"));

        // The pager asks for zero-based pages.
        const int before = listReplies_;
        QTest::mouseClick(pager()->findChild<QPushButton*>("page_last"), Qt::LeftButton);
        waitForList(before);
        QCOMPARE(lastForm("/api/task/list").queryItemValue("curPage"), QString("2"));
        QCOMPARE(pager()->findChild<QLineEdit*>("page_num")->text(), QString("3"));
        QCOMPARE(table()->rowCount(), 10);  // five tasks, still ten rows
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
        // Its playback page names the client and the task, no placeholder left.
        QSignalSpy playback(page_.get(), &Task::signalBackplay);
        page_->backplay(0, 3);
        QCOMPARE(playback.count(), 1);
        const QString url = playback.at(0).at(0).toString();
        QVERIFY2(url.startsWith(service_.baseUrl()) && !url.contains('%'), qPrintable(url));
        QVERIFY2(QUrlQuery(QUrl(url)).queryItemValue("taskId").toInt() > 0, qPrintable(url));

        before = listReplies_;
        page_->findChild<QLineEdit*>("input")->setText("物理");
        QTest::mouseClick(page_->findChild<QPushButton*>("flush"), Qt::LeftButton);
        waitForList(before);
        const QUrlQuery form = lastForm("/api/task/list");
        QCOMPARE(form.queryItemValue("taskName", QUrl::FullyDecoded), QString("物理"));
        QVERIFY(rowOf("初二物理：压强") >= 0);
        QVERIFY(!table()->item(2, 0));
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

    void tasksThatCannotBeJoined() {
        // Task 7 is not (or no longer) this host's: the service has no details for it.
        page_->setData(listReply({task(7, "x")}, 1), live::kTaskListRoom);
        QSignalSpy enter(page_.get(), &Task::signalEnterRoom);
        const int before = listReplies_;
        page_->joinroom(0, 3);
        waitForList(before);
        QCOMPARE(enter.count(), 0);
        QCOMPARE(DialogSeam::shown().size(), 1);
        QCOMPARE(DialogSeam::shown()[0].text,
                 QString("该直播主持人已被修改，请与直播负责人确认直播信息"));
        // The next list reply is a list again.
        QJsonObject broken = task(9, "y");
        broken.remove("push_url");
        page_->setData(listReply({broken}, 1), live::kTaskListRoom);
        QCOMPARE(table()->item(0, 0)->text(), QString("y"));

        // A task without its room fields cannot be joined: nothing is sent.
        const int pending = demo_.net->pendingReplies();
        page_->joinroom(0, 3);
        QCOMPARE(demo_.net->pendingReplies(), pending);
    }

    void endingABroadcastAsksThenSendsStopAndReloads() {
        loadList();
        const int onAir = rowOf("高一数学：函数的单调性与最值");
        QVERIFY(onAir >= 0);
        QVERIFY(endButton(onAir)->isEnabled());

        // Declined: nothing is sent.
        const int pending = demo_.net->pendingReplies();
        DialogSeam::presetAnswer(int(QDialog::Rejected));
        QTest::mouseClick(endButton(onAir), Qt::LeftButton);
        QCOMPARE(DialogSeam::shown().last().text,
                 QString("结束直播后将无法重新开始，请确认是否结束直播？"));
        QCOMPARE(demo_.net->pendingReplies(), pending);

        const int before = listReplies_;
        DialogSeam::presetAnswer(int(QDialog::Accepted));
        QTest::mouseClick(endButton(onAir), Qt::LeftButton);
        waitForList(before);
        QCOMPARE(lastForm("/api/live/stop").queryItemValue("taskId"), QString("1001"));
        QTRY_COMPARE_WITH_TIMEOUT(rowOf("高一数学：函数的单调性与最值"), -1, kWait);
    }
};

QTEST_MAIN(TestTask)
#include "tst_task.moc"
