#include <QApplication>
#include <QClipboard>
#include <QHoverEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include "core/DialogSeam.h"
#include "room/IRoom.h"
#include "shell/FramelessResize.h"
#include "shell/MainWindow.h"
#include "shell/Scheme.h"
#include "shell/TitleBar.h"
#include "shell/Toast.h"
#include "shell/WaitingSpinnerWidget.h"
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

// Stands in for the main window: records what reaches its own mouse handlers.
class Host : public QWidget {
public:
    Host() {
        resize(900, 600);
        bar = new TestBar(this);
        bar->setGeometry(0, 0, 900, 56);
    }
    TestBar* bar;
    QList<QEvent::Type> received;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        received << e->type();
        e->accept();
    }
    void mouseMoveEvent(QMouseEvent* e) override { received << e->type(); }
    void mouseReleaseEvent(QMouseEvent* e) override { received << e->type(); }
};

void sendMouse(QWidget* to, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// Presses on the bar at `local`, then moves the pointer by `delta` in one step.
void drag(TitleBar* bar, QPoint local, QPoint delta) {
    const QPoint global = bar->mapToGlobal(local);
    sendMouse(bar, QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton);
    sendMouse(bar, QEvent::MouseMove, local + delta, global + delta, Qt::NoButton, Qt::LeftButton);
    sendMouse(bar, QEvent::MouseButtonRelease, local + delta, global + delta, Qt::LeftButton,
              Qt::NoButton);
}

int paintedPixels(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

class TestShellWidgets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Scheme::instance().init(0);
        live::DialogSeam::setHeadless(true);
    }

    // ---- spinner ----

    // The spinner centres itself and its text on the parent and blocks it while it runs; the
    // box without the spinning lines leaves no lines behind once stopped.
    void spinnerBlocksItsParentWhileItRuns() {
        QWidget parent;
        parent.resize(800, 600);
        auto* spinner = new WaitingSpinnerWidget(&parent, true, true);
        spinner->setText(QStringLiteral("正在进入直播间,请稍后..."));
        spinner->startwidthNoSpin();
        QVERIFY(!parent.isEnabled());
        QCOMPARE(spinner->dimBox()->geometry(), QRect(275, 225, 250, 150));
        QCOMPARE(paintedPixels(spinner), 0);
        spinner->stop();
        QVERIFY(parent.isEnabled());
        QVERIFY(spinner->isHidden() && spinner->dimBox()->isHidden());
        QVERIFY(spinner->textLabel()->isHidden());

        spinner->start();
        QCOMPARE(spinner->pos(), QPoint(380, 280));
        QVERIFY(paintedPixels(spinner) > 50);
        QTRY_VERIFY(spinner->counter() > 0);
        spinner->stop();
        QCOMPARE(spinner->counter(), 0);
    }

    // ---- toast ----

    void toastShowsFadesAndDeletesItself() {
        QPointer<Toast> toast = Toast::showTip(QStringLiteral("复制邀请码成功"), nullptr);
        QVERIFY(toast);
        QVERIFY(toast->isVisible());
        QCOMPARE(toast->text(), QStringLiteral("复制邀请码成功"));
        QVERIFY(toast->windowFlags() & Qt::WindowStaysOnTopHint);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(toast->pos(), Toast::tipPosition(screen, toast->size()));
        QTRY_VERIFY(toast && toast->windowOpacity() > 0.99);
        QTRY_VERIFY_WITH_TIMEOUT(toast.isNull(), 15000);
    }

    // ---- ask dialog ----

    void askDialogButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("close") << "pushButton_close" << int(QDialog::Rejected);
        QTest::newRow("yes") << "pushButton_yes" << int(QDialog::Accepted);
        QTest::newRow("no") << "pushButton_no" << int(QDialog::Rejected);
    }
    void askDialogButtons() {
        QFETCH(QString, button);
        QFETCH(int, result);
        ormLive_AskDialog dialog("询问", "您确定要关闭该程序吗？", ormLive_AskDialog::kOkCancel);
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.setResult(-1);
        dialog.open();
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), result);
        QVERIFY(!dialog.isVisible());
    }

    void askDialogJoinDoesNothing() {
        ormLive_AskDialog dialog("加入直播", "", ormLive_AskDialog::kJoin);
        dialog.open();
        dialog.findChild<QLineEdit*>("textEdit")->setText("abc123");
        QTest::mouseClick(dialog.findChild<QPushButton*>("pushButton_jion"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.inputText(), QString("abc123"));
        dialog.reject();
    }

    void askDialogCopiesTheCodeAndSaysSo() {
        ormLive_AskDialog dialog("邀请码", "AB12CD", ormLive_AskDialog::kCopy);
        dialog.open();
        QTest::mouseClick(dialog.findChild<QPushButton*>("pushButton_copy"), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("AB12CD"));
        Toast* toast = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* t = qobject_cast<Toast*>(w)) {
                toast = t;
            }
        }
        QVERIFY(toast);
        QCOMPARE(toast->text(), QStringLiteral("复制邀请码成功"));
        QVERIFY(dialog.isVisible());
        dialog.reject();
    }

    // ---- title bar ----

    void titleBarDragKeepsTheBarReachable_data() {
        QTest::addColumn<QRect>("avail");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1920, 1080);
        // bar at (0,0) 900x56 inside the window
        QTest::newRow("right edge") << screen << QPoint(5000, 0) << QPoint(1870, 100);
        QTest::newRow("left edge") << screen << QPoint(-5000, 0) << QPoint(50 - 900, 100);
        QTest::newRow("bottom edge") << screen << QPoint(0, 5000) << QPoint(100, 1030);
        QTest::newRow("top") << screen << QPoint(0, -5000) << QPoint(100, 50 - 56);
        QTest::newRow("top above zero")
            << QRect(-200, -300, 1920, 1080) << QPoint(0, -5000) << QPoint(100, -250 - 56);
        QTest::newRow("inside") << screen << QPoint(30, 40) << QPoint(130, 140);
    }
    void titleBarDragKeepsTheBarReachable() {
        QFETCH(QRect, avail);
        QFETCH(QPoint, delta);
        QFETCH(QPoint, expected);
        Host host;
        host.bar->avail = avail;
        host.move(100, 100);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host, 30000));
        drag(host.bar, QPoint(300, 30), delta);
        QCOMPARE(host.pos(), expected);
        QVERIFY(!host.bar->isDragging());
        QVERIFY(host.received.isEmpty());
    }

    void draggingAMaximizedWindowRestoresItAndMoves() {
        Host host;
        host.bar->avail = QRect(-10000, -10000, 20000, 20000);
        host.setGeometry(120, 80, 700, 500);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host, 30000));
        host.showMaximized();
        QTRY_VERIFY(host.isMaximized());
        const QPoint start = host.bar->mapToGlobal(QPoint(300, 20));
        sendMouse(host.bar, QEvent::MouseButtonPress, QPoint(300, 20), start, Qt::LeftButton,
                  Qt::LeftButton);
        sendMouse(host.bar, QEvent::MouseMove, QPoint(330, 60), start + QPoint(30, 40),
                  Qt::NoButton, Qt::LeftButton);
        QVERIFY(!host.isMaximized());
        const QPoint afterFirst = host.pos();
        sendMouse(host.bar, QEvent::MouseMove, QPoint(340, 70), start + QPoint(40, 50),
                  Qt::NoButton, Qt::LeftButton);
        QCOMPARE(host.pos(), afterFirst + QPoint(10, 10));
        sendMouse(host.bar, QEvent::MouseButtonRelease, QPoint(340, 70), start + QPoint(40, 50),
                  Qt::LeftButton, Qt::NoButton);
    }

    void topEdgePressGoesToTheWindowsResizing_data() {
        QTest::addColumn<int>("cursor");
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("top edge") << int(Qt::SizeVerCursor) << true;
        QTest::newRow("top-left corner") << int(Qt::SizeFDiagCursor) << true;
        QTest::newRow("top-right corner") << int(Qt::SizeBDiagCursor) << true;
        QTest::newRow("side edge") << int(Qt::SizeHorCursor) << false;
        QTest::newRow("inside") << int(Qt::ArrowCursor) << false;
    }
    void topEdgePressGoesToTheWindowsResizing() {
        QFETCH(int, cursor);
        QFETCH(bool, handedOver);
        Host host;
        host.move(100, 100);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host, 30000));
        // The main window sets the border cursor on itself; the bar inherits it.
        host.setCursor(Qt::CursorShape(cursor));
        drag(host.bar, QPoint(300, 2), QPoint(0, -20));
        if (handedOver) {
            QCOMPARE(host.received,
                     (QList<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseMove,
                                          QEvent::MouseButtonRelease}));
            QCOMPARE(host.pos(), QPoint(100, 100));
        } else {
            QVERIFY(host.received.isEmpty());
            QCOMPARE(host.pos(), QPoint(100, 80));
        }
    }

    // A maximised or full-screen window shows no border cursor and cannot be dragged bigger,
    // whatever other state flags it carries.
    void bordersResizeOnlyAWindowThatIsNotMaximised_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("resizable");
        QTest::newRow("normal") << int(Qt::WindowNoState) << true;
        QTest::newRow("maximised") << int(Qt::WindowMaximized) << false;
        QTest::newRow("maximised, active") << int(Qt::WindowMaximized | Qt::WindowActive) << false;
        QTest::newRow("full screen") << int(Qt::WindowFullScreen) << false;
    }
    void bordersResizeOnlyAWindowThatIsNotMaximised() {
        QFETCH(int, state);
        QFETCH(bool, resizable);
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.resize(400, 300);
        window.setWindowState(Qt::WindowStates(state));
        QRect applied;
        FramelessResize frame(&window, [&applied](const QRect& rect) { applied = rect; });
        const QPoint edge(398, 150);
        QHoverEvent hover(QEvent::HoverMove, edge, QPoint(0, 0));
        QCoreApplication::sendEvent(&window, &hover);
        QCOMPARE(window.cursor().shape(), resizable ? Qt::SizeHorCursor : Qt::ArrowCursor);

        const QPoint global = window.mapToGlobal(edge);
        const QPoint by(30, 0);
        sendMouse(&window, QEvent::MouseButtonPress, edge, global, Qt::LeftButton, Qt::LeftButton);
        sendMouse(&window, QEvent::MouseMove, edge + by, global + by, Qt::NoButton, Qt::LeftButton);
        sendMouse(&window, QEvent::MouseButtonRelease, edge + by, global + by, Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(window.width(), resizable ? 430 : 400);
        QCOMPARE(applied.width(), resizable ? 430 : 0);
        QVERIFY(!frame.borders().resizing());
    }

    // The main window takes its rooms from the factory it is given; a factory with no room
    // for the variant leaves none.
    void roomsComeFromTheFactory() {
        MainWindow window;
        int askedType = -1;
        QPointer<IRoom> made;
        window.setRoomFactory([&](QWidget* parent, int serverType) -> IRoom* {
            askedType = serverType;
            made = MainWindow::makePlaceholderRoom(parent, serverType);
            return made;
        });
        window.slotCreateRoom();
        QCOMPARE(askedType, 0);
        QVERIFY(made);
        QCOMPARE(window.room(), made.data());
        window.setRoomFactory([](QWidget*, int) -> IRoom* { return nullptr; });
        window.slotCreateRoom();
        QVERIFY(made.isNull());
        QVERIFY(!window.room());
    }

    void setUserInfoWithAnEmptyNameOnlyChangesTheName() {
        TitleBar bar;
        auto* icon = bar.findChild<QLabel*>("user_icon");
        auto* name = bar.findChild<QLabel*>("user_info");
        QCOMPARE(name->text(), QString("name"));
        const qint64 before = icon->pixmap(Qt::ReturnByValue).cacheKey();
        bar.setUserInfo(":/image/logo.png", QString());
        QCOMPARE(name->text(), QString());
        QCOMPARE(icon->pixmap(Qt::ReturnByValue).cacheKey(), before);
        bar.setUserInfo(":/image/logo.png", QStringLiteral("主播"));
        QCOMPARE(name->text(), QStringLiteral("主播"));
        QVERIFY(icon->pixmap(Qt::ReturnByValue).cacheKey() != before);
        QCOMPARE(icon->pixmap(Qt::ReturnByValue).size(), QSize(32, 32));
    }

    void buttonsActOnTheWindow() {
        Host host;
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host, 30000));
        QSignalSpy clicked(host.bar, &TitleBar::signalTitleClicked);
        host.bar->findChild<QPushButton*>("about")->click();
        host.bar->findChild<QPushButton*>("set")->click();
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(clicked.at(0).at(0).value<uint8_t>(), uint8_t(TitleBar::kAboutButton));
        QCOMPARE(clicked.at(1).at(0).value<uint8_t>(), uint8_t(TitleBar::kSetButton));

        auto* max = host.bar->findChild<QPushButton*>("max");
        QCOMPARE(max->property("state").toString(), QString("maximize"));
        max->click();
        QTRY_VERIFY(host.isMaximized());
        QTRY_COMPARE(max->property("state").toString(), QString("restore"));
        QCOMPARE(max->toolTip(), QString("Restore"));
        QTest::mouseDClick(host.bar, Qt::LeftButton, Qt::NoModifier, QPoint(400, 30));
        QTRY_VERIFY(!host.isMaximized());
        QTRY_COMPARE(max->property("state").toString(), QString("maximize"));
        QCOMPARE(max->toolTip(), QString("Maximize"));

        host.bar->findChild<QPushButton*>("close")->click();
        QTRY_VERIFY(!host.isVisible());
    }
};

QTEST_MAIN(TestShellWidgets)
#include "tst_shell_widgets.moc"
