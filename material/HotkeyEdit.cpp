#include "material/HotkeyEdit.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include "platform/VirtualKeys.h"

namespace {

bool clearsTheField(int key) {
    // The Windows key arrives as Meta on Windows and as Super on X11.
    return key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Meta ||
           key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

bool isIgnored(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == 0 ||
           key == Qt::Key_unknown;
}

}  // namespace

HotkeyEdit::HotkeyEdit(QWidget* parent, int key)
    : QLineEdit(parent), virtualKey_(live::VirtualKeys::fromQtKey(key)), sequence_(key) {
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    showSequence();
}

void HotkeyEdit::getKey(uint32_t& modifiers, uint32_t& virtualKey) const {
    modifiers = modifiers_;
    virtualKey = virtualKey_;
}

void HotkeyEdit::setKey(uint32_t modifiers, uint32_t virtualKey, const QString& text) {
    modifiers_ = modifiers;
    virtualKey_ = virtualKey;
    if (!text.isEmpty()) {
        sequence_ = QKeySequence::fromString(text, QKeySequence::PortableText);
        // The studio engine names its keys in its own words ("Control+Shift+Right"), which
        // Qt cannot read; the two numbers say the same thing.
        const int qtKey = live::VirtualKeys::toQtKey(virtualKey);
        if ((sequence_.isEmpty() || sequence_[0] == Qt::Key_unknown) && qtKey != 0) {
            sequence_ = QKeySequence(qtKey | int(modifiers & Qt::KeyboardModifierMask));
        }
    }
    showSequence();
}

void HotkeyEdit::pressKey(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), false, 1);
    QCoreApplication::sendEvent(this, &press);
}

orbLiveImp::OrbShortcut HotkeyEdit::shortcut() const {
    return {modifiers_, virtualKey_, text()};
}

void HotkeyEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->isAutoRepeat() || isIgnored(key)) {
        return;
    }
    if (clearsTheField(key)) {
        sequence_ = QKeySequence();
        setText(QString());
        return;
    }
    modifiers_ = uint32_t(event->modifiers());
    virtualKey_ = live::VirtualKeys::fromKeyEvent(*event);
    const Qt::KeyboardModifiers shown =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                              Qt::MetaModifier | Qt::KeypadModifier);
    sequence_ = QKeySequence(key | int(shown));
    showSequence();
}

void HotkeyEdit::showSequence() {
    if (!sequence_.isEmpty()) {
        setText(sequence_.toString(QKeySequence::NativeText));
    }
}
