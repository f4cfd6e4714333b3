#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "core/DialogSeam.h"
#include "platform/WindowList.h"
#include "share/orbLive_ShareWinEnumWidget.h"
#include "share/orbLive_ShareWindowPreItem.h"
#include "support/OrbTestMain.h"
#include "support/Require.h"

using live::WindowInfo;
using live::WindowList;

Q_DECLARE_METATYPE(WindowInfo)

namespace {

const QString kDesktop = QStringLiteral("桌面");
const QString kLongTitle = QStringLiteral(
    "屏幕共享测试窗口：这是一个很长很长的中文标题，用来确认窗口标题被完整读取，"
    "而不是在一百个字节的地方被截断成半个汉字");
const QString kOwnTitle = QStringLiteral("直播客户端 共享测试 主窗口");
const QColor kLongColour(40, 160, 90);
const QSize kWindowSize(480, 300);

WindowInfo window(const QString& title, QRect rect = QRect(10, 10, 300, 200)) {
    WindowInfo info;
    info.id = 42;
    info.title = title;
    info.rect = rect;
    info.visible = true;
    return info;
}

// The window as the system lists it now; an invalid (zero-id) record when not listed.
WindowInfo listed(WId id) {
    for (const WindowInfo& info : WindowList::topLevelWindows()) {
        if (info.id == id) {
            return info;
        }
    }
    return {};
}

QColor pixelAt(const QPixmap& picture, double fx, double fy) {
    const QImage image = picture.toImage();
    return image.pixelColor(int(image.width() * fx), int(image.height() * fy));
}

// Runs the picker modally; `act` plays the user's part once the dialog runs.
int runPicker(orbLive_ShareWinEnumWidget& picker, const std::function<void()>& act) {
    QTimer::singleShot(0, &picker, act);
    QTimer::singleShot(60000, &picker, &QDialog::reject);  // never hang the suite
    return live::DialogSeam::exec(&picker, QStringLiteral("share picker"));
}

}  // namespace

class TestShare : public QObject {
    Q_OBJECT
private:
    // Windows are placed apart: a thumbnail is what the screen shows of a window.
    QWidget* openWindow(const QString& title, const QColor& colour, const QRect& place,
                        QWidget* owner = nullptr) {
        QWidget* w = owner ? new QDialog(owner) : new QWidget;
        w->setWindowTitle(title);
        w->setGeometry(place);
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, colour);
        w->setPalette(palette);
        w->setAutoFillBackground(true);
        windows_.append(w);
        return w;
    }

    std::unique_ptr<QWidget> owner_;
    QList<QPointer<QWidget>> windows_;
    QWidget* longWindow_ = nullptr;
    QList<QWidget*> hiddenOnes_;

private slots:
    // The windows every test sees: one to share and some the rules leave out.
    void initTestCase() {
        ORB_REQUIRE(orbtest::displayFailure().isEmpty(), orbtest::displayFailure());
        live::DialogSeam::setHeadless(false);  // the picker runs for real
        owner_ = std::make_unique<QWidget>();
        owner_->setWindowTitle(kOwnTitle);
        owner_->setGeometry(1060, 300, 200, 150);
        longWindow_ = openWindow(kLongTitle, kLongColour, QRect(QPoint(20, 40), kWindowSize));
        hiddenOnes_ = {
            openWindow(QStringLiteral("Program Test Window"), Qt::darkRed,
                       QRect(QPoint(540, 40), kWindowSize)),
            // part of our own title
            openWindow(QStringLiteral("共享测试"), Qt::darkBlue,
                       QRect(QPoint(20, 420), kWindowSize)),
            openWindow(QStringLiteral("设置"), Qt::darkCyan, QRect(QPoint(540, 420), kWindowSize)),
            openWindow(QStringLiteral("附属对话框"), Qt::darkMagenta, QRect(1060, 40, 200, 150),
                       longWindow_),
        };
        owner_->show();
        longWindow_->show();
        for (QWidget* w : hiddenOnes_) {
            w->show();
        }
        QWidget* minimised = openWindow(QStringLiteral("最小化的窗口"), Qt::darkYellow,
                                        QRect(QPoint(300, 300), kWindowSize));
        minimised->showMinimized();
        hiddenOnes_ << minimised << owner_.get();
        for (QWidget* w : hiddenOnes_ + QList<QWidget*>{longWindow_}) {
            QTRY_VERIFY_WITH_TIMEOUT(listed(w->winId()).id != 0, 20000);
        }
        QTRY_VERIFY_WITH_TIMEOUT(listed(minimised->winId()).minimized, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(pixelAt(WindowList::grab(longWindow_->winId()), 0.5, 0.8),
                                  kLongColour, 20000);
    }

    void cleanupTestCase() {
        for (const QPointer<QWidget>& w : windows_) {
            delete w.data();  // owned dialogs may already be gone with their owner
        }
        owner_.reset();
    }

    // The rules the real windows below do not show.
    void filterRules_data() {
        QTest::addColumn<WindowInfo>("info");
        QTest::addColumn<bool>("shareable");
        WindowInfo hidden = window("隐藏");
        hidden.visible = false;
        QTest::newRow("plain") << window("编辑器") << true;
        QTest::newRow("no width") << window("a", QRect(0, 0, 0, 10)) << false;
        QTest::newRow("invisible") << hidden << false;
        QTest::newRow("untitled") << window(QString()) << false;
        QTest::newRow("excluded only exactly") << window("设置向导") << true;
        QTest::newRow("case matters") << window("my program") << true;
        QTest::newRow("our title inside it") << window(kOwnTitle + " - 副本") << true;
    }
    void filterRules() {
        QFETCH(WindowInfo, info);
        QFETCH(bool, shareable);
        QCOMPARE(WindowList::isShareable(info, kOwnTitle), shareable);
    }

    // The desktop first and selected, two placeholders that do nothing when clicked, then
    // the one shareable window, its thumbnail what the screen shows of it; a double click
    // on it chooses it.
    void realWindowsAreListedByTheRules() {
        QCOMPARE(listed(longWindow_->winId()).title, kLongTitle);  // longer than 100 bytes
        orbLive_ShareWinEnumWidget picker(owner_.get());
        picker.move(150, 130);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker, 30000));
        const auto items = picker.items();
        QStringList titles;
        for (const orbLive_ShareWindowPreItem* item : items) {
            titles << item->title();
        }
        QCOMPARE(titles, QStringList({kDesktop, QString(), QString(), kLongTitle}));
        QVERIFY(items[1]->isPlaceholder() && items[2]->isPlaceholder());
        QCOMPARE(items[3]->windowId(), longWindow_->winId());
        QVERIFY(items[0]->isSelected());

        QSignalSpy checked(items[1], &orbLive_ShareWindowPreItem::preItemChecked);
        QSignalSpy ok(items[1], &orbLive_ShareWindowPreItem::preItemOK);
        QTest::mouseClick(items[1], Qt::LeftButton);
        QTest::mouseDClick(items[1], Qt::LeftButton);
        QCOMPARE(checked.count() + ok.count(), 0);
        QVERIFY(!items[1]->isSelected() && items[0]->isSelected());

        const QLabel* image = items[3]->findChild<QLabel*>("label_image");
        const QPoint spot =
            image->mapTo(&picker, QPoint(image->width() / 2, image->height() * 4 / 5));
        const auto onScreen = [&] {
            return QGuiApplication::primaryScreen()->grabWindow(picker.winId());
        };
        QTRY_COMPARE_WITH_TIMEOUT(onScreen().toImage().pixelColor(spot), kLongColour, 20000);
        const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(dir) && onScreen().save(dir + "/share_picker.png"));

        orbLive_ShareWinEnumWidget chooser(owner_.get());
        const auto choose = [&] { QTest::mouseDClick(chooser.items()[3], Qt::LeftButton); };
        QCOMPARE(runPicker(chooser, choose), int(QDialog::Accepted));
        QCOMPARE(chooser.selectedWindowId(), longWindow_->winId());
        QCOMPARE(chooser.selectedTitle(), kLongTitle);
    }
};

ORB_TEST_MAIN_PRIVATE_DISPLAY(TestShare)

#include "tst_share.moc"
