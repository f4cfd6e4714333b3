#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "PrivateDisplay.h"
#include "material/HotkeyEdit.h"
#include "support/Require.h"

// Real key presses through the X server: what the field stores must be the Windows code
// of the key, whatever the X11 platform puts into the event's native fields.
class TestHotkeyX11 : public QObject {
    Q_OBJECT
public:
    explicit TestHotkeyX11(const QString& noDisplay) : noDisplay_(noDisplay) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            lastNative_ = static_cast<QKeyEvent*>(event)->nativeVirtualKey();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    quint32 lastNative_ = 0;

    bool type(const QString& keys) {
        QProcess xdotool;
        xdotool.start(xdotool_, {QStringLiteral("key"), QStringLiteral("--delay"),
                                 QStringLiteral("20"), keys});
        return xdotool.waitForFinished(20000) && xdotool.exitCode() == 0;
    }

    // "<modifiers> <virtual key>" as the field stores them, in hex.
    QString stored() const {
        uint32_t modifiers = 0;
        uint32_t virtualKey = 0;
        edit_->getKey(modifiers, virtualKey);
        return QStringLiteral("%1 %2").arg(modifiers, 0, 16).arg(virtualKey, 0, 16);
    }

    QString noDisplay_;
    QString xdotool_;
    std::unique_ptr<HotkeyEdit> edit_;

private slots:
    void initTestCase() {
        ORB_REQUIRE(noDisplay_.isEmpty(), noDisplay_);
        xdotool_ = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        ORB_REQUIRE(!xdotool_.isEmpty(), "xdotool is not installed");
        edit_ = std::make_unique<HotkeyEdit>();
        edit_->setWindowTitle(QStringLiteral("快捷键"));
        edit_->setGeometry(100, 100, 300, 40);
        edit_->show();
        edit_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(edit_.get(), 20000));
        QTRY_VERIFY_WITH_TIMEOUT(edit_->hasFocus(), 20000);
        edit_->installEventFilter(this);
    }

    void cleanupTestCase() { edit_.reset(); }

    void typedCombinationsStoreWindowsCodes_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("modifiers");
        QTest::addColumn<uint>("virtualKey");
        QTest::addColumn<uint>("keysym");  // what the X11 platform reports as native key
        QTest::newRow("Ctrl+Shift+P") << "ctrl+shift+p"
                                      << "Ctrl+Shift+P" << 0x06000000u << 0x50u << 0x50u;
        QTest::newRow("Alt+F5") << "alt+F5"
                                << "Alt+F5" << 0x08000000u << 0x74u << 0xFFC2u;
        QTest::newRow("Left") << "Left"
                              << "Left" << 0u << 0x25u << 0xFF51u;
        QTest::newRow("Ctrl+semicolon") << "ctrl+semicolon"
                                        << "Ctrl+;" << 0x04000000u << 0xBAu << 0x3Bu;
        QTest::newRow("Shift+1") << "shift+1" << QString() << 0x02000000u << 0x31u << 0x21u;
        QTest::newRow("keypad plus") << "KP_Add" << QString() << 0x20000000u << 0x6Bu << 0xFFABu;
    }
    void typedCombinationsStoreWindowsCodes() {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(uint, modifiers);
        QFETCH(uint, virtualKey);
        QFETCH(uint, keysym);
        edit_->clear();
        QVERIFY(type(keys));
        QTRY_VERIFY_WITH_TIMEOUT(!edit_->text().isEmpty(), 20000);
        if (!text.isEmpty()) {
            QCOMPARE(edit_->text(), text);
        }
        QCOMPARE(stored(), QStringLiteral("%1 %2").arg(modifiers, 0, 16).arg(virtualKey, 0, 16));
        QCOMPARE(lastNative_, keysym);
    }

    void backspaceClearsButKeepsTheNumbers() {
        QVERIFY(type(QStringLiteral("ctrl+q")));
        QTRY_COMPARE_WITH_TIMEOUT(edit_->text(), QStringLiteral("Ctrl+Q"), 20000);
        QVERIFY(type(QStringLiteral("BackSpace")));
        QTRY_VERIFY_WITH_TIMEOUT(edit_->text().isEmpty(), 20000);
        QCOMPARE(stored(), QString("4000000 51"));
    }
};

int main(int argc, char** argv) {
    PrivateDisplay display;
    QString noDisplay;
    if (!display.start()) {
        noDisplay = display.failure();
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    TestHotkeyX11 test(noDisplay);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hotkey_x11.moc"
