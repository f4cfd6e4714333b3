#include <QApplication>
#include <QClipboard>
#include <QHoverEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/DialogSeam.h"
#include "shell/FramelessResize.h"
#include "shell/Scheme.h"
#include "shell/TitleBar.h"
#include "shell/Toast.h"
#include "shell/ormLive_AskDialog.h"

namespace {

// A title bar whose screen is whatever the test says.
class TestBar : public TitleBar {
public:
    using TitleBar::TitleBar;
    QRect avail{0, 0, 1920, 1080};

protected:
    QRect availableArea() const override { return avail; }
};

// Stands in for the main window.
class Host : public QWidget {
public:
    Host() {
        resize(900, 600);
        bar = new TestBar(this);
        bar->setGeometry(0, 0, 900, 56);
    }
    TestBar* bar;
};

void sendMouse(QWidget* to, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// Presses on `widget` at `local`, moves the pointer by `delta` in one step and lets go.
void drag(QWidget* widget, QPoint local, QPoint delta) {
    const QPoint global = widget->mapToGlobal(local);
    sendMouse(widget, QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, local + delta, global + delta, Qt::NoButton,
              Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, local + delta, global + delta, Qt::LeftButton,
              Qt::NoButton);
}

}  // namespace

class TestShellWidgets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Scheme::instance().init(0);
        live::DialogSeam::setHeadless(true);
    }

    // Yes accepts; join keeps the dialog open with what was typed; copy
    // puts the code on the clipboard and says so in a toast.
    void askDialogButtons() {
        ormLive_AskDialog ask("询问", "您确定要关闭该程序吗？", ormLive_AskDialog::kOkCancel);
        QSignalSpy finished(&ask, &QDialog::finished);
        ask.open();
        QTest::mouseClick(ask.findChild<QPushButton*>("pushButton_yes"), Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Accepted));

        ormLive_AskDialog join("加入直播", "", ormLive_AskDialog::kJoin);
        join.open();
        join.findChild<QLineEdit*>("textEdit")->setText("abc123");
        QTest::mouseClick(join.findChild<QPushButton*>("pushButton_jion"), Qt::LeftButton);
        QVERIFY(join.isVisible());
        QCOMPARE(join.inputText(), QString("abc123"));
        join.reject();

        ormLive_AskDialog copy("邀请码", "AB12CD", ormLive_AskDialog::kCopy);
        copy.open();
        QTest::mouseClick(copy.findChild<QPushButton*>("pushButton_copy"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("AB12CD"));
        const QWidgetList tops = QApplication::topLevelWidgets();
        QVERIFY(std::any_of(tops.begin(), tops.end(), [](QWidget* w) {
            auto* toast = qobject_cast<Toast*>(w);
            return toast && toast->text() == QStringLiteral("复制邀请码成功");
        }));
        copy.reject();
    }

    // A drag far past the screen's edge leaves 50 pixels of the bar on it.
    void titleBarDragKeepsTheBarReachable() {
        Host host;
        host.move(100, 100);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host, 30000));
        drag(host.bar, QPoint(300, 30), QPoint(5000, 0));
        QCOMPARE(host.pos(), QPoint(1870, 100));
        QVERIFY(!host.bar->isDragging());
    }

    // A maximised window shows no border cursor and cannot be dragged bigger, whatever other
    // state flags it carries.
    void bordersDoNotResizeAMaximisedWindow() {
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.resize(400, 300);
        window.setWindowState(Qt::WindowMaximized | Qt::WindowActive);
        FramelessResize frame(&window, [](const QRect&) {});
        const QPoint edge(398, 150);
        QHoverEvent hover(QEvent::HoverMove, edge, QPoint(0, 0));
        QCoreApplication::sendEvent(&window, &hover);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        drag(&window, edge, QPoint(30, 0));
        QCOMPARE(window.width(), 400);
        QVERIFY(!frame.borders().resizing());
    }

    void buttonsActOnTheWindow() {
        Host host;
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host, 30000));
        auto* max = host.bar->findChild<QPushButton*>("max");
        max->click();
        QTRY_VERIFY(host.isMaximized());
        QTRY_COMPARE(max->property("state").toString(), QString("restore"));
        QTest::mouseDClick(host.bar, Qt::LeftButton, Qt::NoModifier, QPoint(400, 30));
        QTRY_VERIFY(!host.isMaximized());
        QTRY_COMPARE(max->property("state").toString(), QString("maximize"));
        host.bar->findChild<QPushButton*>("close")->click();
        QTRY_VERIFY(!host.isVisible());
    }
};

QTEST_MAIN(TestShellWidgets)
#include "tst_shell_widgets.moc"
