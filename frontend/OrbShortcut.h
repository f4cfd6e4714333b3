#pragma once

#include <QString>
#include <cstdint>

namespace orbLiveImp {

// One hotkey as the client edits it: Qt modifier bits, a Windows virtual-key code and
// the text shown for the combination.
struct OrbShortcut {
    uint32_t modifiers = 0;
    uint32_t virtualKey = 0;
    QString text;
};

}  // namespace orbLiveImp
