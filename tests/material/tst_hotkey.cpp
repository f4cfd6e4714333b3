#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

#include "material/HotkeyEdit.h"
#include "platform/VirtualKeys.h"
#include "support/OrbTestMain.h"
#include "support/Require.h"

#include <X11/keysym.h>

using live::VirtualKeys;

namespace {

QString nativeText(int combination) {
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

}  // namespace

// Keys stored as the Windows codes the studio engine's bindings use: typed through the X
// server of the test's own display, or delivered without native data.
class TestHotkey : public QObject {
    Q_OBJECT
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            lastNative_ = static_cast<QKeyEvent*>(event)->nativeVirtualKey();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    quint32 lastNative_ = 0;
    QString xdotool_;
    std::unique_ptr<HotkeyEdit> edit_;

    bool type(const QString& keys) {
        QProcess xdotool;
        xdotool.start(xdotool_, {QStringLiteral("key"), QStringLiteral("--delay"),
                                 QStringLiteral("20"), keys});
        return xdotool.waitForFinished(20000) && xdotool.exitCode() == 0;
    }

    // A key as a platform without native key data delivers it.
    void press(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat = false) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, 0, 0, 0, QString(), autoRepeat, 1);
        QCoreApplication::sendEvent(edit_.get(), &event);
    }

    // "<modifiers> <virtual key>" as the field stores them, in hex.
    QString stored() const {
        uint32_t modifiers = 0;
        uint32_t virtualKey = 0;
        edit_->getKey(modifiers, virtualKey);
        return QStringLiteral("%1 %2").arg(modifiers, 0, 16).arg(virtualKey, 0, 16);
    }

private slots:
    void initTestCase() {
        ORB_REQUIRE(orbtest::displayFailure().isEmpty(), orbtest::displayFailure());
        xdotool_ = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        ORB_REQUIRE(!xdotool_.isEmpty(), "xdotool is not installed");
        edit_ = std::make_unique<HotkeyEdit>();
        edit_->setGeometry(100, 100, 300, 40);
        edit_->show();
        edit_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(edit_.get(), 20000));
        QTRY_VERIFY_WITH_TIMEOUT(edit_->hasFocus(), 20000);
        edit_->installEventFilter(this);
    }

    void cleanupTestCase() { edit_.reset(); }

    // The awkward cases; reverseLookupsRoundTrip covers the rest of the tables.
    void awkwardKeysMapToWindowsCodes_data() {
        QTest::addColumn<quint32>("keysym");
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<quint32>("virtualKey");
        const int keypad = Qt::KeypadModifier;
        QTest::newRow("KP_Home") << quint32(XK_KP_Home) << int(Qt::Key_Home) << keypad << 0x24u;
        QTest::newRow("ISO_Left_Tab")
            << quint32(XK_ISO_Left_Tab) << int(Qt::Key_Backtab) << 0 << 0x09u;
        QTest::newRow("Cyrillic has none")
            << quint32(XK_Cyrillic_a) << int(Qt::Key_unknown) << 0 << 0u;
    }
    void awkwardKeysMapToWindowsCodes() {
        QFETCH(quint32, keysym);
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(quint32, virtualKey);
        QCOMPARE(VirtualKeys::fromNative(keysym), virtualKey);
        QCOMPARE(VirtualKeys::fromQtKey(qtKey, Qt::KeyboardModifiers(modifiers)), virtualKey);
    }

    // Every code that maps back to a key maps forward to the same code again.
    void reverseLookupsRoundTrip() {
        int keysyms = 0;
        int qtKeys = 0;
        for (uint32_t vk = 1; vk < 256; ++vk) {
            if (const uint32_t keysym = VirtualKeys::toKeysym(vk)) {
                ++keysyms;
                QVERIFY2(VirtualKeys::fromKeysym(keysym) == vk,
                         qPrintable(QString::number(vk, 16)));
            }
            if (const int key = VirtualKeys::toQtKey(vk)) {
                ++qtKeys;
                const bool keypad = vk >= 0x60 && vk <= 0x6F;
                const auto modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
                QVERIFY2(VirtualKeys::fromQtKey(key, modifiers) == vk,
                         qPrintable(QString::number(vk, 16)));
            }
        }
        QVERIFY(keysyms > 100 && qtKeys > 100);
    }

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

    // Repeats and lone modifiers are no new key; a clearing key empties the text only.
    void repeatsModifiersAndClearing() {
        QVERIFY(type(QStringLiteral("ctrl+q")));
        QTRY_COMPARE_WITH_TIMEOUT(edit_->text(), QStringLiteral("Ctrl+Q"), 20000);
        QSignalSpy changed(edit_.get(), &QLineEdit::textChanged);
        press(Qt::Key_B, Qt::ControlModifier, true);
        press(Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(changed.count(), 0);
        QVERIFY(type(QStringLiteral("BackSpace")));
        QTRY_VERIFY_WITH_TIMEOUT(edit_->text().isEmpty(), 20000);
        QCOMPARE(stored(), QString("4000000 51"));
    }

    // Without native data the Qt key gives the code; the engine's own words are shown natively.
    void keysWithoutNativeDataAndFromTheEngine() {
        press(Qt::Key_F7, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(stored(), QString("c000000 76"));
        QCOMPARE(edit_->text(), nativeText(Qt::CTRL | Qt::ALT | Qt::Key_F7));
        QCOMPARE(edit_->shortcut().text, edit_->text());
        edit_->setKey(0x06000000, 0x27, QStringLiteral("Control+Shift+Right"));
        QCOMPARE(edit_->text(), nativeText(Qt::CTRL | Qt::SHIFT | Qt::Key_Right));
        edit_->setKey(0, 0x25, QString());  // numbers only: the shown text stays
        QCOMPARE(edit_->text(), nativeText(Qt::CTRL | Qt::SHIFT | Qt::Key_Right));
        QCOMPARE(stored(), QString("0 25"));
    }
};

ORB_TEST_MAIN_PRIVATE_DISPLAY(TestHotkey)
#include "tst_hotkey.moc"
