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

struct Stored {
    uint32_t modifiers = 0;
    uint32_t virtualKey = 0;
};

Stored stored(const HotkeyEdit& edit) {
    Stored s;
    edit.getKey(s.modifiers, s.virtualKey);
    return s;
}

}  // namespace

class TestHotkey : public QObject {
    Q_OBJECT

private slots:
    // The awkward cases; reverseLookupsRoundTrip covers the rest of the table.
    void keysymsMapToWindowsCodes_data() {
        QTest::addColumn<quint32>("keysym");
        QTest::addColumn<quint32>("virtualKey");
        QTest::newRow("a") << quint32(XK_a) << 0x41u;
        QTest::newRow("exclam is the 1 key") << quint32(XK_exclam) << 0x31u;
        QTest::newRow("F1") << quint32(XK_F1) << 0x70u;
        QTest::newRow("KP_0") << quint32(XK_KP_0) << 0x60u;
        QTest::newRow("KP_Add") << quint32(XK_KP_Add) << 0x6Bu;
        QTest::newRow("KP_Home") << quint32(XK_KP_Home) << 0x24u;
        QTest::newRow("KP_Enter") << quint32(XK_KP_Enter) << 0x0Du;
        QTest::newRow("Left") << quint32(XK_Left) << 0x25u;
        QTest::newRow("ISO_Left_Tab") << quint32(XK_ISO_Left_Tab) << 0x09u;
        QTest::newRow("colon") << quint32(XK_colon) << 0xBAu;
        QTest::newRow("Super_L") << quint32(XK_Super_L) << 0x5Bu;
        QTest::newRow("AudioMute") << quint32(XF86XK_AudioMute) << 0xADu;
        QTest::newRow("Cyrillic has none") << quint32(XK_Cyrillic_a) << 0u;
    }
    void keysymsMapToWindowsCodes() {
        QFETCH(quint32, keysym);
        QFETCH(quint32, virtualKey);
        QCOMPARE(VirtualKeys::fromKeysym(keysym), virtualKey);
        QCOMPARE(VirtualKeys::fromNative(keysym), virtualKey);
    }

    void qtKeysMapToWindowsCodes_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<quint32>("virtualKey");
        QTest::newRow("Left") << int(Qt::Key_Left) << 0 << 0x25u;
        QTest::newRow("F12") << int(Qt::Key_F12) << 0 << 0x7Bu;
        QTest::newRow("Plus") << int(Qt::Key_Plus) << 0 << 0xBBu;
        QTest::newRow("keypad Plus") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << 0x6Bu;
        QTest::newRow("keypad 0") << int(Qt::Key_0) << int(Qt::KeypadModifier) << 0x60u;
        QTest::newRow("keypad Home") << int(Qt::Key_Home) << int(Qt::KeypadModifier) << 0x24u;
        QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 0x0Du;
        QTest::newRow("unknown") << int(Qt::Key_unknown) << 0 << 0u;
    }
    void qtKeysMapToWindowsCodes() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(quint32, virtualKey);
        QCOMPARE(VirtualKeys::fromQtKey(key, Qt::KeyboardModifiers(modifiers)), virtualKey);
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
        QVERIFY(keysyms > 100);
        QVERIFY(qtKeys > 100);
        QCOMPARE(VirtualKeys::toKeysym(0x50), quint32(XK_p));
        QCOMPARE(VirtualKeys::toQtKey(0x25), int(Qt::Key_Left));
    }

    void ctrlShiftPStoresTheBitsAndTheWindowsCode() {
        HotkeyEdit edit;
        QSignalSpy changed(&edit, &QLineEdit::textChanged);
        pressNative(&edit, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier, XK_P);
        const Stored s = stored(edit);
        QCOMPARE(s.modifiers, uint32_t(Qt::ControlModifier | Qt::ShiftModifier));
        QCOMPARE(s.modifiers, 0x06000000u);
        QCOMPARE(s.virtualKey, 0x50u);
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
        QCOMPARE(edit.text(), QStringLiteral("Ctrl+Shift+P"));
        QCOMPARE(changed.count(), 1);
        const orbLiveImp::OrbShortcut shortcut = edit.shortcut();
        QCOMPARE(shortcut.virtualKey, 0x50u);
        QCOMPARE(shortcut.text, edit.text());
    }

    void shiftedSymbolsStoreTheirKeysCode() {
        HotkeyEdit edit;
        pressNative(&edit, Qt::Key_Exclam, Qt::ShiftModifier, XK_exclam);
        QCOMPARE(stored(edit).virtualKey, 0x31u);
    }

    void holdingAKeyChangesNothingAfterTheFirstPress() {
        HotkeyEdit edit;
        pressNative(&edit, Qt::Key_A, Qt::AltModifier, XK_a);
        QCOMPARE(edit.text(), nativeText(Qt::ALT | Qt::Key_A));
        QSignalSpy changed(&edit, &QLineEdit::textChanged);
        pressNative(&edit, Qt::Key_A, Qt::AltModifier, XK_a, true);
        pressNative(&edit, Qt::Key_B, Qt::ControlModifier, XK_b, true);
        pressNative(&edit, Qt::Key_Backspace, Qt::NoModifier, XK_BackSpace, true);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(edit.text(), nativeText(Qt::ALT | Qt::Key_A));
        QCOMPARE(stored(edit).modifiers, uint32_t(Qt::AltModifier));
        QCOMPARE(stored(edit).virtualKey, 0x41u);
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
        QVERIFY(edit.text().isEmpty());
        QVERIFY(edit.sequence().isEmpty());
        QCOMPARE(stored(edit).modifiers, uint32_t(Qt::ControlModifier));
        QCOMPARE(stored(edit).virtualKey, 0x74u);
    }

    void loneModifiersAreIgnored() {
        HotkeyEdit edit;
        pressNative(&edit, Qt::Key_P, Qt::ControlModifier, XK_p);
        pressNative(&edit, Qt::Key_Shift, Qt::ShiftModifier, XK_Shift_L);
        pressNative(&edit, Qt::Key_Control, Qt::ControlModifier, XK_Control_R);
        pressNative(&edit, Qt::Key_Alt, Qt::AltModifier, XK_Alt_L);
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::Key_P));
        QCOMPARE(stored(edit).virtualKey, 0x50u);
    }

    void syntheticArrowPressesStoreTheArrowCodes() {
        HotkeyEdit edit;
        edit.pressKey(Qt::Key_Left);
        QCOMPARE(stored(edit).virtualKey, 0x25u);
        QCOMPARE(stored(edit).modifiers, 0u);
        QCOMPARE(edit.text(), nativeText(Qt::Key_Left));
        edit.pressKey(Qt::Key_Right);
        QCOMPARE(stored(edit).virtualKey, 0x27u);
        QCOMPARE(edit.text(), nativeText(Qt::Key_Right));
    }

    // Keys typed through the widget without native data still get their Windows code.
    void typedKeysWithoutNativeDataUseTheQtKey() {
        HotkeyEdit edit;
        QTest::keyClick(&edit, Qt::Key_F7, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(stored(edit).virtualKey, 0x76u);
        QCOMPARE(stored(edit).modifiers, uint32_t(Qt::ControlModifier | Qt::AltModifier));
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::ALT | Qt::Key_F7));
    }

    void setKeyShowsThePortableTextNatively() {
        HotkeyEdit edit;
        edit.setKey(0x04000000, 0x25, QStringLiteral("Ctrl+Left"));
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::Key_Left));
        QCOMPARE(stored(edit).modifiers, 0x04000000u);
        QCOMPARE(stored(edit).virtualKey, 0x25u);
        edit.setKey(0, 0x27, QString());  // numbers only: the shown text stays
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::Key_Left));
        QCOMPARE(stored(edit).virtualKey, 0x27u);
        // A binding read back from the studio engine carries the engine's own words.
        edit.setKey(0x04000000 | 0x02000000, 0x27, QStringLiteral("Control+Shift+Right"));
        QCOMPARE(edit.text(), nativeText(Qt::CTRL | Qt::SHIFT | Qt::Key_Right));
    }

    void constructionShowsTheKeyAlone() {
        HotkeyEdit edit(nullptr, Qt::Key_Right);
        QCOMPARE(edit.text(), nativeText(Qt::Key_Right));
        QCOMPARE(stored(edit).virtualKey, 0x27u);
        QVERIFY(!edit.testAttribute(Qt::WA_InputMethodEnabled));
        HotkeyEdit empty;
        QVERIFY(empty.text().isEmpty());
        QCOMPARE(stored(empty).virtualKey, 0u);
    }
};

QTEST_MAIN(TestHotkey)
#include "tst_hotkey.moc"
