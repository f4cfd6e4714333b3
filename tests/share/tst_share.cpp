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

#include "PrivateDisplay.h"
#include "core/DialogSeam.h"
#include "platform/WindowList.h"
#include "share/orbLive_ShareWinEnumWidget.h"
#include "share/orbLive_ShareWindowPreItem.h"
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
public:
    explicit TestShare(const QString& noDisplayReason) : noDisplay_(noDisplayReason) {}

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

    QString noDisplay_;
    std::unique_ptr<QWidget> owner_;
    QList<QPointer<QWidget>> windows_;
    QWidget* longWindow_ = nullptr;

private slots:
    void initTestCase() {
        ORB_REQUIRE(noDisplay_.isEmpty(), noDisplay_);
        owner_ = std::make_unique<QWidget>();
        owner_->setWindowTitle(kOwnTitle);
        owner_->setGeometry(1060, 300, 200, 150);
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
        QTest::newRow("no height") << window("a", QRect(0, 0, 10, 0)) << false;
        QTest::newRow("owned") << owned << false;
        QTest::newRow("invisible") << hidden << false;
        QTest::newRow("minimised") << minimised << false;
        QTest::newRow("untitled") << window(QString()) << false;
        for (const QString& title : WindowList::excludedTitles()) {
            QTest::newRow(qPrintable("excluded " + title)) << window(title) << false;
        }
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

    void withNoOtherWindowsOnlyTheDesktopAndTwoPlaceholders() {
        orbLive_ShareWinEnumWidget picker(owner_.get());
        QCOMPARE(picker.size(), QSize(980, 540));
        QCOMPARE(picker.windowTitle(), QStringLiteral("orbLive_ShareWinEnumWidget"));
        QVERIFY(picker.windowFlags().testFlag(Qt::FramelessWindowHint));
        const auto items = picker.items();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->title(), kDesktop);
        QCOMPARE(items[0]->windowId(), WId(0));
        QVERIFY(!items[0]->isPlaceholder());
        QVERIFY(items[0]->isSelected());
        const QLabel* desktopImage = items[0]->findChild<QLabel*>("label_image");
        QCOMPARE(desktopImage->pixmap(Qt::ReturnByValue).size(),
                 QGuiApplication::primaryScreen()->size());
        for (int i : {1, 2}) {
            QVERIFY(items[i]->isPlaceholder());
            QVERIFY(items[i]->title().isEmpty());
            QVERIFY(!items[i]->isSelected());
            QVERIFY(
                items[i]->findChild<QLabel*>("label_image")->pixmap(Qt::ReturnByValue).isNull());
        }
    }

    void realWindowsAreListedByTheRules() {
        QVERIFY(kLongTitle.toUtf8().size() > 100);
        longWindow_ = openWindow(kLongTitle, kLongColour, QRect(QPoint(20, 40), kWindowSize));
        QList<QWidget*> hiddenOnes = {
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
        for (QWidget* w : hiddenOnes) {
            w->show();
        }
        QWidget* minimised = openWindow(QStringLiteral("最小化的窗口"), Qt::darkYellow,
                                        QRect(QPoint(300, 300), kWindowSize));
        minimised->showMinimized();
        hiddenOnes << minimised << owner_.get();
        for (QWidget* w : hiddenOnes + QList<QWidget*>{longWindow_}) {
            QTRY_VERIFY_WITH_TIMEOUT(listed(w->winId()).id != 0, 20000);
        }
        QTRY_VERIFY_WITH_TIMEOUT(listed(minimised->winId()).minimized, 20000);
        const WindowInfo info = listed(longWindow_->winId());
        QCOMPARE(info.title, kLongTitle);
        QCOMPARE(info.rect.size(), kWindowSize);
        QVERIFY(info.visible && !info.minimized && !info.hasParent);
        QVERIFY(listed(hiddenOnes[3]->winId()).hasParent);
        QTRY_COMPARE_WITH_TIMEOUT(pixelAt(WindowList::grab(longWindow_->winId()), 0.5, 0.8),
                                  kLongColour, 20000);

        orbLive_ShareWinEnumWidget picker(owner_.get());
        const auto items = picker.items();
        QStringList titles;
        for (const orbLive_ShareWindowPreItem* item : items) {
            titles << item->title();
        }
        QCOMPARE(titles, QStringList({kDesktop, QString(), QString(), kLongTitle}));
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
        QVERIFY(longWindow_);
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

    void doubleClickAcceptsWithThatWindow() {
        QVERIFY(longWindow_);
        orbLive_ShareWinEnumWidget picker(owner_.get());
        auto* entry = picker.items()[3];
        const int result = runPicker(picker, [&] { QTest::mouseDClick(entry, Qt::LeftButton); });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(picker.selectedWindowId(), longWindow_->winId());
        QCOMPARE(picker.selectedTitle(), kLongTitle);
        QVERIFY(entry->isSelected());
        QVERIFY(!picker.items()[0]->isSelected());
    }

    void singleClickThenOkChoosesThatWindow() {
        QVERIFY(longWindow_);
        orbLive_ShareWinEnumWidget picker(owner_.get());
        auto* entry = picker.items()[3];
        const int result = runPicker(picker, [&] {
            QTest::mouseClick(entry, Qt::LeftButton);
            QVERIFY(entry->isSelected());
            QVERIFY(!picker.items()[0]->isSelected());
            QTest::mouseClick(picker.findChild<QPushButton*>("pushButton_yes"), Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(picker.selectedWindowId(), longWindow_->winId());
    }

    void okWithThePreselectedDesktop() {
        orbLive_ShareWinEnumWidget picker(owner_.get());
        const int result = runPicker(picker, [&] {
            QTest::mouseClick(picker.findChild<QPushButton*>("pushButton_yes"), Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(picker.selectedTitle(), kDesktop);
        QCOMPARE(picker.selectedWindowId(), WId(0));
    }

    void cancelGivesNoTitleAndNoWindow() {
        QVERIFY(longWindow_);
        orbLive_ShareWinEnumWidget picker(owner_.get());
        const int result = runPicker(picker, [&] {
            QTest::mouseClick(picker.items()[3], Qt::LeftButton);
            QTest::mouseClick(picker.findChild<QPushButton*>("pushButton_reject"), Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(picker.selectedTitle().isEmpty());
        QCOMPARE(picker.selectedWindowId(), WId(0));
    }

    void screenshotWithRealWindows() {
        QVERIFY(longWindow_);
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

int main(int argc, char** argv) {
    // Our own display keeps windows of tests running alongside out of the window list.
    PrivateDisplay display;
    QString noDisplay;
    if (!display.start()) {
        noDisplay = display.failure();
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    live::DialogSeam::setHeadless(false);
    TestShare test(noDisplay);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_share.moc"
