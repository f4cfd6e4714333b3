#include <QKeyEvent>
#include <QSignalSpy>
#include <QtTest>

#include "material/HotkeyEdit.h"
#include "platform/VirtualKeys.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

using live::VirtualKeys;

namespace {

// A key press as the X11 platform delivers it: the native virtual key is the keysym.
void pressNative(QWidget* target, int key, Qt::KeyboardModifiers modifiers, quint32 keysym,
                 bool autoRepeat = false) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, 0, keysym, 0, QString(), autoRepeat, 1);
    QCoreApplication::sendEvent(target, &event);
}

QString nativeText(int combination) {
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

// "<modifiers> <virtual key>" as the field stores them, in hex.
QString stored(const HotkeyEdit& edit) {
    uint32_t modifiers = 0;
    uint32_t virtualKey = 0;
    edit.getKey(modifiers, virtualKey);
    return QStringLiteral("%1 %2").arg(modifiers, 0, 16).arg(virtualKey, 0, 16);
}

}  // namespace

// Keys typed on X11 stored as the Windows codes the studio engine's bindings use; real key
// presses through the X server are in tst_hotkey_x11.
class TestHotkey : public QObject {
    Q_OBJECT

private slots:
    // The awkward cases; reverseLookupsRoundTrip covers the rest of the tables.
    void awkwardKeysMapToWindowsCodes_data() {
        QTest::addColumn<quint32>("keysym");
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<quint32>("virtualKey");
        const int keypad = Qt::KeypadModifier;
        QTest::newRow("KP_0") << quint32(XK_KP_0) << int(Qt::Key_0) << keypad << 0x60u;
        QTest::newRow("KP_Home") << quint32(XK_KP_Home) << int(Qt::Key_Home) << keypad << 0x24u;
        QTest::newRow("KP_Enter") << quint32(XK_KP_Enter) << int(Qt::Key_Enter) << keypad << 0x0Du;
        QTest::newRow("Plus") << quint32(XK_plus) << int(Qt::Key_Plus) << 0 << 0xBBu;
        QTest::newRow("ISO_Left_Tab")
            << quint32(XK_ISO_Left_Tab) << int(Qt::Key_Backtab) << 0 << 0x09u;
        QTest::newRow("Super_L") << quint32(XK_Super_L) << 0 << 0 << 0x5Bu;
        QTest::newRow("AudioMute") << quint32(XF86XK_AudioMute) << 0 << 0 << 0xADu;
        QTest::newRow("Cyrillic has none")
            << quint32(XK_Cyrillic_a) << int(Qt::Key_unknown) << 0 << 0u;
    }
    void awkwardKeysMapToWindowsCodes() {
        QFETCH(quint32, keysym);
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(quint32, virtualKey);
        QCOMPARE(VirtualKeys::fromKeysym(keysym), virtualKey);
        QCOMPARE(VirtualKeys::fromNative(keysym), virtualKey);
        if (qtKey) {
            QCOMPARE(VirtualKeys::fromQtKey(qtKey, Qt::KeyboardModifiers(modifiers)), virtualKey);
        }
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

    void pressesStoreTheBitsAndTheWindowsCode_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<quint32>("keysym");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("shown");
        const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        QTest::newRow("Ctrl+Shift+P") << int(Qt::Key_P) << ctrlShift << quint32(XK_P)
                                      << "6000000 50" << int(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
        // The shifted symbol stores its key's code.
        QTest::newRow("Shift+1") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier)
                                 << quint32(XK_exclam) << "2000000 31" << 0;
        // Typed without native data, the Qt key still gives the code.
        QTest::newRow("no native data")
            << int(Qt::Key_F7) << int(Qt::ControlModifier | Qt::AltModifier) << 0u << "c000000 76"
            << int(Qt::CTRL | Qt::ALT | Qt::Key_F7);
    }
    void pressesStoreTheBitsAndTheWindowsCode() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(quint32, keysym);
        QFETCH(QString, stored);
        QFETCH(int, shown);
        HotkeyEdit edit;
        QSignalSpy changed(&edit, &QLineEdit::textChanged);
        pressNative(&edit, key, Qt::KeyboardModifiers(modifiers), keysym);
        QCOMPARE(::stored(edit), stored);
        if (shown) {
            QCOMPARE(edit.text(), nativeText(shown));
            QCOMPARE(edit.shortcut().text, edit.text());
        }
        QCOMPARE(changed.count(), 1);
    }

    // Holding a key repeats it; lone modifiers are no key: neither changes the field.
    void repeatsAndLoneModifiersChangeNothing() {
        HotkeyEdit edit;
        pressNative(&edit, Qt::Key_A, Qt::AltModifier, XK_a);
        QSignalSpy changed(&edit, &QLineEdit::textChanged);
        pressNative(&edit, Qt::Key_B, Qt::ControlModifier, XK_b, true);
        pressNative(&edit, Qt::Key_Backspace, Qt::NoModifier, XK_BackSpace, true);
        pressNative(&edit, Qt::Key_Shift, Qt::ShiftModifier, XK_Shift_L);
        pressNative(&edit, Qt::Key_Control, Qt::ControlModifier, XK_Control_R);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(edit.text(), nativeText(Qt::ALT | Qt::Key_A));
        QCOMPARE(stored(edit), QString("8000000 41"));
    }

    void clearingKeysEmptyTheTextButKeepTheNumbers_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<quint32>("keysym");
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << quint32(XK_BackSpace);
        QTest::newRow("Delete") << int(Qt::Key_Delete) << quint32(XK_Delete);
        QTest::newRow("Super") << int(Qt::Key_Super_L) << quint32(XK_Super_L);
    }
    void clearingKeysEmptyTheTextButKeepTheNumbers() {
        QFETCH(int, key);
        QFETCH(quint32, keysym);
        HotkeyEdit edit;
        pressNative(&edit, Qt::Key_F5, Qt::ControlModifier, XK_F5);
        pressNative(&edit, key, Qt::NoModifier, keysym);
        QVERIFY(edit.text().isEmpty() && edit.sequence().isEmpty());
        QCOMPARE(stored(edit), QString("4000000 74"));
    }

    void setKeyShowsThePortableTextNatively() {
        HotkeyEdit edit;
        edit.setKey(0x04000000, 0x25, QStringLiteral("Ctrl+Left"));
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::Key_Left));
        QCOMPARE(stored(edit), QString("4000000 25"));
        edit.setKey(0, 0x27, QString());  // numbers only: the shown text stays
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::Key_Left));
        QCOMPARE(stored(edit), QString("0 27"));
        // A binding read back from the studio engine carries the engine's own words.
        edit.setKey(0x06000000, 0x27, QStringLiteral("Control+Shift+Right"));
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::SHIFT | Qt::Key_Right));
    }
};

QTEST_MAIN(TestHotkey)
#include "tst_hotkey.moc"
