#pragma once

#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace live {

// The one translation between Qt keys, X keysyms and Windows virtual-key codes.
// Shortcuts are stored with Windows codes on every platform so that a saved
// binding means the same key wherever it is read back; on X11 (and Wayland) a
// key event's native virtual key is a keysym and must pass through here first.
// The keyboard is taken to be a US layout for the punctuation keys, as Windows'
// own OEM codes are.
class VirtualKeys {
public:
    // 0 when the key has no Windows code. The keypad modifier picks the keypad codes.
    static uint32_t fromQtKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Shifted and unshifted keysyms of one key give the same code.
    static uint32_t fromKeysym(uint32_t keysym);
    // A key event's native virtual key: a Windows code on Windows, a keysym elsewhere.
    static uint32_t fromNative(uint32_t nativeVirtualKey);
    // The reverse of fromNative: what the platform (and the engine's hotkeys) calls the key.
    static uint32_t toNative(uint32_t virtualKey);
    // The event's native key when it has one that maps, otherwise its Qt key.
    static uint32_t fromKeyEvent(const QKeyEvent& event);

    // Reverse lookups give the unshifted key; 0 when unknown.
    static int toQtKey(uint32_t virtualKey);
    static uint32_t toKeysym(uint32_t virtualKey);
};

}  // namespace live
