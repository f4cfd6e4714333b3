#include <QProxyStyle>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QtTest>

#include "material/FlowLayout.h"

namespace {

QSpacerItem* box(int width, int height) {
    return new QSpacerItem(width, height, QSizePolicy::Fixed, QSizePolicy::Fixed);
}

// A style with spacings no built-in style uses, so the test sees where a value came from.
class WideSpacingStyle : public QProxyStyle {
public:
    WideSpacingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_LayoutHorizontalSpacing) {
            return 17;
        }
        if (metric == PM_LayoutVerticalSpacing) {
            return 23;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    int layoutSpacing(QSizePolicy::ControlType, QSizePolicy::ControlType,
                      Qt::Orientation orientation, const QStyleOption*,
                      const QWidget*) const override {
        return orientation == Qt::Horizontal ? 13 : 19;
    }
};

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
        QCOMPARE(layout.itemAt(0)->geometry(), QRect(0, 0, 100, 50));
        QCOMPARE(layout.itemAt(1)->geometry(), QRect(0, 60, 500, 60));
        QCOMPARE(layout.itemAt(2)->geometry(), QRect(0, 130, 100, 40));
        QCOMPARE(layout.heightForWidth(300), 170);

        FlowLayout first(5, 10, 10);
        first.addItem(box(500, 60));
        first.addItem(box(100, 40));
        first.setGeometry(QRect(20, 30, 300, 400));
        QCOMPARE(first.itemAt(0)->geometry().topLeft(), QPoint(25, 35));
        QCOMPARE(first.itemAt(1)->geometry().topLeft(), QPoint(25, 105));
    }

    void sixItemsInRowsOfThree_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        // margins 10, spacing 15: three 300-pixel items need 2*10 + 3*300 + 2*15 = 950
        QTest::newRow("exactly three fit") << 950 << 10 + 200 + 15 + 200 + 10;
        QTest::newRow("one pixel short") << 949 << 10 + 3 * 200 + 2 * 15 + 10;
        QTest::newRow("roomy") << 1200 << 10 + 200 + 15 + 200 + 10;
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

    void negativeSpacingInsideAWidgetTakesTheStyles() {
        QWidget host;
        auto* style = new WideSpacingStyle;
        style->setParent(&host);
        host.setStyle(style);
        auto* layout = new FlowLayout(&host, 0, -1, -1);
        layout->addItem(box(100, 50));
        layout->addItem(box(100, 50));
        layout->setGeometry(QRect(0, 0, 1000, 500));
        QCOMPARE(layout->itemAt(1)->geometry().x(), 117);
        layout->setGeometry(QRect(0, 0, 150, 500));
        QCOMPARE(layout->itemAt(1)->geometry().topLeft(), QPoint(0, 73));
    }

    void negativeSpacingInsideALayoutTakesItsSpacing() {
        QWidget host;
        auto* outer = new QVBoxLayout(&host);
        outer->setSpacing(9);
        auto* layout = new FlowLayout(0, -1, -1);
        outer->addLayout(layout);
        layout->addItem(box(100, 50));
        layout->addItem(box(100, 50));
        layout->setGeometry(QRect(0, 0, 1000, 500));
        QCOMPARE(layout->itemAt(1)->geometry().x(), 109);
    }

    void withoutSurroundingsTheButtonSpacingIsUsed() {
        QWidget holder;  // keeps the buttons out of the layout's reach for spacing
        WideSpacingStyle style;
        QPushButton first(&holder);
        QPushButton second(&holder);
        QPushButton third(&holder);
        for (QPushButton* button : {&first, &second, &third}) {
            button->setStyle(&style);
            button->setFixedSize(100, 30);
        }
        FlowLayout layout(0, -1, -1);
        for (QPushButton* button : {&first, &second, &third}) {
            layout.addWidget(button);
        }
        layout.setGeometry(QRect(0, 0, 250, 500));
        QCOMPARE(second.pos(), QPoint(113, 0));
        QCOMPARE(third.pos(), QPoint(0, 49));
        while (QLayoutItem* item = layout.takeAt(0)) {
            delete item;  // the buttons outlive the layout here
        }
    }

    void minimumSizeIsTheLargestItemPlusMargins() {
        FlowLayout layout(7, 3, 3);
        QCOMPARE(layout.minimumSize(), QSize(14, 14));
        layout.addItem(box(100, 50));
        layout.addItem(box(300, 20));
        QCOMPARE(layout.minimumSize(), QSize(314, 64));
        QCOMPARE(layout.sizeHint(), layout.minimumSize());
    }

    void itemsAreReachedInRangeOnlyAndDeletedWithTheLayout() {
        int deleted = 0;
        {
            FlowLayout layout;
            for (int i = 0; i < 4; ++i) {
                layout.addItem(new CountedItem(&deleted));
            }
            QVERIFY(!layout.itemAt(-1) && !layout.itemAt(4));
            QVERIFY(!layout.takeAt(-1) && !layout.takeAt(4));
            delete layout.takeAt(3);
            QCOMPARE(deleted, 1);
            QCOMPARE(layout.count(), 3);
        }
        QCOMPARE(deleted, 4);
    }
};

QTEST_MAIN(TestFlowLayout)
#include "tst_flowlayout.moc"
