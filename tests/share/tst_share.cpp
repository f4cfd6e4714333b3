#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
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
        auto* label = new QLabel(title, w);
        label->setWordWrap(true);
        label->setStyleSheet(QStringLiteral("color: white; font-size: 20px;"));
        (new QVBoxLayout(w))->addWidget(label, 0, Qt::AlignTop);
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

    void filterRules_data() {
        QTest::addColumn<WindowInfo>("info");
        QTest::addColumn<bool>("shareable");
        WindowInfo owned = window("对话框");
        owned.hasParent = true;
        WindowInfo hidden = window("隐藏");
        hidden.visible = false;
        WindowInfo minimised = window("最小化");
        minimised.minimized = true;
        QTest::newRow("plain") << window("编辑器") << true;
        QTest::newRow("no width") << window("a", QRect(0, 0, 0, 10)) << false;
        QTest::newRow("owned") << owned << false;
        QTest::newRow("invisible") << hidden << false;
        QTest::newRow("minimised") << minimised << false;
        QTest::newRow("untitled") << window(QString()) << false;
        QTest::newRow("excluded") << window(QStringLiteral("设置")) << false;
        QTest::newRow("excluded only exactly") << window("设置向导") << true;
        QTest::newRow("Program Manager") << window("Program Manager") << false;
        QTest::newRow("contains Program") << window("My Program 2") << false;
        QTest::newRow("case matters") << window("my program") << true;
        QTest::newRow("part of our title") << window("共享测试") << false;
        QTest::newRow("our title inside it") << window(kOwnTitle + " - 副本") << true;
    }
    void filterRules() {
        QFETCH(WindowInfo, info);
        QFETCH(bool, shareable);
        QCOMPARE(WindowList::isShareable(info, kOwnTitle), shareable);
    }

    // The desktop first and selected, two placeholders, then the one shareable window.
    void realWindowsAreListedByTheRules() {
        QVERIFY(kLongTitle.toUtf8().size() > 100);
        const WindowInfo info = listed(longWindow_->winId());
        QCOMPARE(info.title, kLongTitle);
        QCOMPARE(info.rect.size(), kWindowSize);
        QVERIFY(info.visible && !info.minimized && !info.hasParent);
        QVERIFY(listed(hiddenOnes_[3]->winId()).hasParent);

        orbLive_ShareWinEnumWidget picker(owner_.get());
        const auto items = picker.items();
        QStringList titles;
        for (const orbLive_ShareWindowPreItem* item : items) {
            titles << item->title();
        }
        QCOMPARE(titles, QStringList({kDesktop, QString(), QString(), kLongTitle}));
        QCOMPARE(items[0]->windowId(), WId(0));
        QCOMPARE(items[0]->findChild<QLabel*>("label_image")->pixmap(Qt::ReturnByValue).size(),
                 QGuiApplication::primaryScreen()->size());
        QVERIFY(items[1]->isPlaceholder() && items[2]->isPlaceholder());
        QCOMPARE(items[3]->windowId(), longWindow_->winId());
        QCOMPARE(items[3]->findChild<QLabel*>("label_title")->text(), kLongTitle);
        const QPixmap thumbnail =
            items[3]->findChild<QLabel*>("label_image")->pixmap(Qt::ReturnByValue);
        QCOMPARE(thumbnail.size(), kWindowSize);
        QCOMPARE(pixelAt(thumbnail, 0.5, 0.8), kLongColour);
        QVERIFY(items[0]->isSelected());
        QVERIFY(!items[3]->isSelected());
    }

    void clickingAPlaceholderDoesNothing() {
        orbLive_ShareWinEnumWidget picker(owner_.get());
        auto* placeholder = picker.items()[1];
        QSignalSpy checked(placeholder, &orbLive_ShareWindowPreItem::preItemChecked);
        QSignalSpy ok(placeholder, &orbLive_ShareWindowPreItem::preItemOK);
        QSignalSpy accepted(&picker, &QDialog::accepted);
        QTest::mouseClick(placeholder, Qt::LeftButton);
        QTest::mouseDClick(placeholder, Qt::LeftButton);
        placeholder->setSelected(true);
        QCOMPARE(checked.count() + ok.count() + accepted.count(), 0);
        QVERIFY(!placeholder->isSelected());
        QVERIFY(picker.items()[0]->isSelected());
    }

    void choosingEndsThePicker_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("window");  // the long window chosen, or else the desktop
        QTest::newRow("double click") << "double" << int(QDialog::Accepted) << true;
        QTest::newRow("click, then OK") << "click ok" << int(QDialog::Accepted) << true;
        QTest::newRow("OK on the desktop") << "ok" << int(QDialog::Accepted) << false;
        QTest::newRow("click, then cancel") << "click cancel" << int(QDialog::Rejected) << false;
    }
    void choosingEndsThePicker() {
        QFETCH(QString, how);
        QFETCH(int, result);
        QFETCH(bool, window);
        orbLive_ShareWinEnumWidget picker(owner_.get());
        auto* entry = picker.items()[3];
        const auto button = [&](const char* name) {
            QTest::mouseClick(picker.findChild<QPushButton*>(name), Qt::LeftButton);
        };
        QCOMPARE(
            runPicker(picker,
                      [&] {
                          if (how == "double") {
                              QTest::mouseDClick(entry, Qt::LeftButton);
                              return;
                          }
                          if (how.startsWith("click")) {
                              QTest::mouseClick(entry, Qt::LeftButton);
                              QVERIFY(entry->isSelected());
                              QVERIFY(!picker.items()[0]->isSelected());
                          }
                          button(how.endsWith("cancel") ? "pushButton_reject" : "pushButton_yes");
                      }),
            result);
        QCOMPARE(picker.selectedWindowId(), window ? longWindow_->winId() : WId(0));
        const QString desktop = result == QDialog::Accepted ? kDesktop : QString();
        QCOMPARE(picker.selectedTitle(), window ? kLongTitle : desktop);
    }

    void screenshotWithRealWindows() {
        orbLive_ShareWinEnumWidget picker(owner_.get());
        picker.move(150, 130);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker, 30000));
        const QLabel* image = picker.items()[3]->findChild<QLabel*>("label_image");
        const QPoint spot =
            image->mapTo(&picker, QPoint(image->width() / 2, image->height() * 4 / 5));
        const auto onScreen = [&] {
            return QGuiApplication::primaryScreen()->grabWindow(picker.winId());
        };
        QTRY_COMPARE_WITH_TIMEOUT(onScreen().toImage().pixelColor(spot), kLongColour, 20000);
        const QPixmap shot = onScreen();
        const QString dir = QStringLiteral(ORB_BINARY_DIR "/screenshots");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(shot.save(dir + "/share_picker.png"));
        QCOMPARE(shot.size(), QSize(980, 540));
    }
};

ORB_TEST_MAIN_PRIVATE_DISPLAY(TestShare)

#include "tst_share.moc"
