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

QStringList visibleButtons(ormLive_AskDialog& dialog) {
    QStringList names;
    for (const char* name : {"pushButton_jion", "pushButton_yes", "pushButton_no",
                             "pushButton_copy", "textEdit", "pushButton_close"}) {
        auto* w = dialog.findChild<QWidget*>(name);
        if (w && !w->isHidden()) {
            names << QString::fromLatin1(name);
        }
    }
    return names;
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

    void spinnerPlacesItselfAndItsTextOnTheParent() {
        QWidget parent;
        parent.resize(800, 600);
        auto* spinner = new WaitingSpinnerWidget(&parent, true, true);
        spinner->setText(QStringLiteral("正在加载"));
        spinner->start();
        QCOMPARE(spinner->pos(), QPoint(380, 280));
        QCOMPARE(spinner->textLabel()->geometry(), QRect(0, 320, 800, 30));
        QVERIFY(!parent.isEnabled());
        QVERIFY(spinner->isSpinning());
        spinner->stop();
        QVERIFY(parent.isEnabled());

        spinner->setText(QStringLiteral("正在进入直播间,请稍后..."));
        spinner->startwidthNoSpin();
        QVERIFY(!spinner->dimBox()->isHidden());
        QCOMPARE(spinner->dimBox()->geometry(), QRect(275, 225, 250, 150));
        QCOMPARE(spinner->textLabel()->geometry(), QRect(0, 280, 800, 30));
        QVERIFY(!parent.isEnabled());
    }

    void stopAfterNoSpinRestoresLines() {
        QWidget parent;
        parent.resize(400, 300);
        auto* spinner = new WaitingSpinnerWidget(&parent, true, true);
        spinner->setText(QStringLiteral("text"));
        spinner->startwidthNoSpin();
        QVERIFY(!spinner->isShowingLines());
        QCOMPARE(paintedPixels(spinner), 0);

        spinner->stop();
        QVERIFY(spinner->isShowingLines());
        QVERIFY(spinner->text().isEmpty() || spinner->textLabel()->text().isEmpty());
        QVERIFY(spinner->textLabel()->isHidden());
        QVERIFY(spinner->dimBox()->isHidden());
        QVERIFY(spinner->isHidden());
        QVERIFY(parent.isEnabled());

        spinner->start();
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
        QCOMPARE(toast->height(), 52);
        QVERIFY(toast->windowFlags() & Qt::WindowStaysOnTopHint);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(toast->pos(), Toast::tipPosition(screen, toast->size()));
        QTRY_VERIFY(toast && toast->windowOpacity() > 0.99);
        QTRY_VERIFY_WITH_TIMEOUT(toast.isNull(), 15000);
    }

    void toastWithItsOwnDuration() {
        QPointer<Toast> toast = new Toast;
        toast->setText(QStringLiteral("x"));
        QElapsedTimer clock;
        clock.start();
        toast->showTip(100);
        QTRY_VERIFY_WITH_TIMEOUT(toast.isNull(), 15000);
        QVERIFY(clock.elapsed() >= 1000);  // the fade-out alone takes a second
    }

    // ---- ask dialog ----

    void askDialogModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("shown");
        const QString close = "pushButton_close";
        QTest::newRow("1") << 1 << QStringList{"pushButton_yes", close};
        QTest::newRow("2") << 2 << QStringList{"pushButton_no", close};
        QTest::newRow("3") << 3 << QStringList{"pushButton_yes", "pushButton_no", close};
        QTest::newRow("4") << 4 << QStringList{"pushButton_copy", close};
        QTest::newRow("8") << 8
                           << QStringList{"pushButton_jion", "pushButton_no", "textEdit", close};
        QTest::newRow("0") << 0 << QStringList{close};
        QTest::newRow("5") << 5 << QStringList{close};
    }
    void askDialogModes() {
        QFETCH(int, mode);
        QFETCH(QStringList, shown);
        ormLive_AskDialog dialog("询问", "text", mode);
        QCOMPARE(visibleButtons(dialog), shown);
    }

    void askDialogButtons_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("close in mode 1") << 1 << "pushButton_close" << int(QDialog::Rejected);
        QTest::newRow("close in mode 3") << 3 << "pushButton_close" << int(QDialog::Rejected);
        QTest::newRow("yes") << 3 << "pushButton_yes" << int(QDialog::Accepted);
        QTest::newRow("no") << 3 << "pushButton_no" << int(QDialog::Rejected);
    }
    void askDialogButtons() {
        QFETCH(int, mode);
        QFETCH(QString, button);
        QFETCH(int, result);
        ormLive_AskDialog dialog("询问", "您确定要关闭该程序吗？", mode);
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

    void askDialogGoesThroughTheSeamWithItsTitle() {
        live::DialogSeam::clearShown();
        ormLive_AskDialog dialog("询问", "是否要开始直播？", ormLive_AskDialog::kOkCancel);
        live::DialogSeam::presetAnswer(int(QDialog::Accepted));
        QCOMPARE(live::DialogSeam::exec(&dialog, "是否要开始直播？"), int(QDialog::Accepted));
        const auto shown = live::DialogSeam::shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, QString("询问"));
        QCOMPARE(shown[0].text, QString("是否要开始直播？"));
    }

    void askDialogPaintsASoftShadow() {
        ormLive_AskDialog dialog("询问", "text", ormLive_AskDialog::kOk);
        dialog.resize(450, 257);
        QImage image(dialog.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        dialog.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const int y = 150;
        // Fading outward through the 5-pixel band, solid panel inside it.
        QVERIFY(qAlpha(image.pixel(4, y)) > qAlpha(image.pixel(2, y)));
        QVERIFY(qAlpha(image.pixel(2, y)) > qAlpha(image.pixel(0, y)));
        QVERIFY(qAlpha(image.pixel(4, y)) < 80);
        QCOMPARE(qAlpha(image.pixel(449, y)), qAlpha(image.pixel(0, y)));
        QCOMPARE(qAlpha(image.pixel(200, y)), 255);
        QVERIFY(qAlpha(image.pixel(3, 3)) > 0);
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
        QTest::newRow("top with a panel above")
            << QRect(0, 40, 1920, 1040) << QPoint(0, -5000) << QPoint(100, 90 - 56);
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

    void titleBarClampRulesInOrder() {
        // Both rules of an axis apply in turn; with a bar wider than the area the later wins.
        const QRect bar(10, 5, 300, 56);
        QCOMPARE(TitleBar::clampToAvailable(QPoint(0, 0), bar, QRect(0, 0, 200, 200)),
                 QPoint(0, 0));
        QCOMPARE(TitleBar::clampToAvailable(QPoint(-1000, 1000), bar, QRect(0, 0, 800, 600)),
                 QPoint(50 - 10 - 300, 600 - 50 - 5));
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
        QMouseEvent press(QEvent::MouseButtonPress, edge, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &press);
        QMouseEvent move(QEvent::MouseMove, edge + QPoint(30, 0), global + QPoint(30, 0),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, edge + QPoint(30, 0),
                            global + QPoint(30, 0), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &release);
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

    void visibilityHelpers() {
        TitleBar bar;
        bar.setUserVisible(false);
        QVERIFY(bar.findChild<QLabel*>("user_icon")->isHidden());
        QVERIFY(bar.findChild<QLabel*>("user_info")->isHidden());
        bar.setUserVisible(true);
        QVERIFY(!bar.findChild<QLabel*>("user_info")->isHidden());
        bar.setButtonVisible(1, false);
        QVERIFY(bar.findChild<QPushButton*>("set")->isHidden());
        bar.setButtonVisible(0, false);
        QVERIFY(bar.findChild<QPushButton*>("about")->isHidden());
        bar.setButtonVisible(7, false);
        QVERIFY(!bar.findChild<QPushButton*>("min")->isHidden());
        QVERIFY(bar.property("TitleBar").toBool());
        bar.setTitle("abc");
        QCOMPARE(bar.findChild<QLabel*>("title")->text(), QString("abc"));
        bar.setWindowTitle("from the window title");
        QCOMPARE(bar.findChild<QLabel*>("title")->text(), QString("from the window title"));
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
