#pragma once

#include <QKeySequence>
#include <QLineEdit>
#include <cstdint>

#include "frontend/OrbShortcut.h"

// A field that captures one key combination instead of text. The key is kept as a
// Windows virtual-key code on every platform so saved bindings mean the same key.
class HotkeyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit HotkeyEdit(QWidget* parent = nullptr, int key = 0);

    void getKey(uint32_t& modifiers, uint32_t& virtualKey) const;
    // The text, in portable form, gives the shown combination when it is not empty.
    void setKey(uint32_t modifiers, uint32_t virtualKey, const QString& text);
    // Behaves as if the key alone had been pressed.
    void pressKey(int key);

    QKeySequence sequence() const { return sequence_; }
    orbLiveImp::OrbShortcut shortcut() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showSequence();

    uint32_t modifiers_ = 0;
    uint32_t virtualKey_ = 0;
    QKeySequence sequence_;
};
