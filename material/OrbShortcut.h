#pragma once

#include <QString>
#include <cstdint>

namespace orbLiveImp {

// One key binding as the studio keeps it.
struct OrbShortcut {
    uint32_t modifiers = 0;   // Qt keyboard-modifier bits
    uint32_t virtualKey = 0;  // Windows virtual-key code
    QString text;
};

}  // namespace orbLiveImp
