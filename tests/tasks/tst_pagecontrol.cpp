#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "shell/tasks/PageControl.h"

class TestPageControl : public QObject {
    Q_OBJECT

private:
    static QPushButton* button(PageControl& pc, const char* name) {
        return pc.findChild<QPushButton*>(name);
    }
    static QString shown(PageControl& pc) { return pc.findChild<QLineEdit*>("page_num")->text(); }

private slots:
    void countsPagesAndShowsTheReplysPage() {
        PageControl pc;
        pc.setData(25, 2);
        QCOMPARE(pc.pageCount(), 3);
        QCOMPARE(shown(pc), QString("3"));
        QCOMPARE(pc.findChild<QLabel*>("tips")->text(), QString("共25条信息，分3页显示"));
        pc.setData(0, 0);
        QCOMPARE(pc.pageCount(), 1);
        QCOMPARE(shown(pc), QString("1"));
        // A reply naming a page past the end shows the last page.
        pc.setData(25, 7);
        QCOMPARE(shown(pc), QString("3"));
    }

    void pageSizeChangesRecountPages() {
        PageControl pc;
        pc.setData(25, 0);
        pc.setPageSize(5);
        QCOMPARE(pc.pageCount(), 5);
        pc.setPageSize(0);
        pc.setPageSize(-3);
        QCOMPARE(pc.pageSize(), 5);
    }

    void buttonsRequestZeroBasedPages_data() {
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
        QTest::newRow("previous") << 2 << "page_previous"
                                  << "" << 1;
        QTest::newRow("first") << 2 << "page_first"
                               << "" << 0;
        QTest::newRow("last") << 0 << "page_last"
                              << "" << 2;
        QTest::newRow("jump to 0") << 2 << "page_jump"
                                   << "0" << 0;
        QTest::newRow("jump to abc") << 2 << "page_jump"
                                     << "abc" << 0;
        QTest::newRow("jump past the end") << 0 << "page_jump"
                                           << "99" << 2;
        QTest::newRow("jump to the shown page") << 1 << "page_jump"
                                                << "2" << -1;
    }
    void buttonsRequestZeroBasedPages() {
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
        QTest::mouseClick(button(pc, qPrintable(buttonName)), Qt::LeftButton);
        if (requested < 0) {
            QCOMPARE(spy.count(), 0);
        } else {
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toInt(), requested);
        }
        // The shown page waits for the reply.
        QCOMPARE(pc.currentPage(), qMin(replyPage + 1, 3));
    }
};

QTEST_MAIN(TestPageControl)
#include "tst_pagecontrol.moc"
