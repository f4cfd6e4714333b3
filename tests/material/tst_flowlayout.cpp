#include <QSpacerItem>
#include <QtTest>

#include "material/FlowLayout.h"

namespace {

QSpacerItem* box(int width, int height) {
    return new QSpacerItem(width, height, QSizePolicy::Fixed, QSizePolicy::Fixed);
}

class CountedItem : public QSpacerItem {
public:
    explicit CountedItem(int* deleted) : QSpacerItem(10, 10), deleted_(deleted) {}
    ~CountedItem() override { ++*deleted_; }

private:
    int* deleted_;
};

}  // namespace

class TestFlowLayout : public QObject {
    Q_OBJECT

private slots:
    void wideItemTakesItsOwnRowWithoutAnEmptyRowBefore() {
        FlowLayout layout(0, 10, 10);
        layout.addItem(box(100, 50));
        layout.addItem(box(500, 60));  // wider than the area
        layout.addItem(box(100, 40));
        layout.setGeometry(QRect(0, 0, 300, 400));
        QCOMPARE(layout.itemAt(1)->geometry(), QRect(0, 60, 500, 60));
        QCOMPARE(layout.itemAt(2)->geometry(), QRect(0, 130, 100, 40));
        QCOMPARE(layout.heightForWidth(300), 170);
    }

    void sixItemsInRowsOfThree_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        // margins 10, spacing 15: three 300-pixel items need 2*10 + 3*300 + 2*15 = 950
        QTest::newRow("exactly three fit") << 950 << 10 + 200 + 15 + 200 + 10;
        QTest::newRow("one pixel short") << 949 << 10 + 3 * 200 + 2 * 15 + 10;
    }
    void sixItemsInRowsOfThree() {
        QFETCH(int, width);
        QFETCH(int, height);
        FlowLayout layout(10, 15, 15);
        for (int i = 0; i < 6; ++i) {
            layout.addItem(box(300, 200));
        }
        QCOMPARE(layout.heightForWidth(width), height);
        layout.setGeometry(QRect(0, 0, width, height));
        QCOMPARE(layout.itemAt(2)->geometry().right(), width == 949 ? 309 : 939);
    }

    void sizesAndItemsInRangeOnly() {
        int deleted = 0;
        {
            FlowLayout layout(7, 3, 3);
            layout.addItem(box(100, 50));
            layout.addItem(box(300, 20));
            QCOMPARE(layout.minimumSize(), QSize(314, 64));
            QCOMPARE(layout.sizeHint(), layout.minimumSize());
            layout.addItem(new CountedItem(&deleted));
            layout.addItem(new CountedItem(&deleted));
            QVERIFY(!layout.itemAt(-1) && !layout.itemAt(4));
            QVERIFY(!layout.takeAt(-1) && !layout.takeAt(4));
            delete layout.takeAt(3);
            QCOMPARE(deleted, 1);
            QCOMPARE(layout.count(), 3);
        }
        QCOMPARE(deleted, 2);
    }
};

QTEST_MAIN(TestFlowLayout)
#include "tst_flowlayout.moc"
