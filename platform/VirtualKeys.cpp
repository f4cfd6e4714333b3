#include "platform/VirtualKeys.h"

#include <QKeyEvent>

namespace live {
namespace {

// Windows virtual-key codes used below.
enum : uint32_t {
    kVkBack = 0x08,
    kVkTab = 0x09,
    kVkClear = 0x0C,
    kVkReturn = 0x0D,
    kVkShift = 0x10,
    kVkControl = 0x11,
    kVkMenu = 0x12,
    kVkPause = 0x13,
    kVkCapital = 0x14,
    kVkEscape = 0x1B,
    kVkModeChange = 0x1F,
    kVkSpace = 0x20,
    kVkPrior = 0x21,
    kVkNext = 0x22,
    kVkEnd = 0x23,
    kVkHome = 0x24,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVkSelect = 0x29,
    kVkPrint = 0x2A,
    kVkExecute = 0x2B,
    kVkSnapshot = 0x2C,
    kVkInsert = 0x2D,
    kVkDelete = 0x2E,
    kVkHelp = 0x2F,
    kVk0 = 0x30,
    kVk9 = 0x39,
    kVkA = 0x41,
    kVkZ = 0x5A,
    kVkLWin = 0x5B,
    kVkRWin = 0x5C,
    kVkApps = 0x5D,
    kVkSleep = 0x5F,
    kVkNumpad0 = 0x60,
    kVkNumpad9 = 0x69,
    kVkMultiply = 0x6A,
    kVkAdd = 0x6B,
    kVkSeparator = 0x6C,
    kVkSubtract = 0x6D,
    kVkDecimal = 0x6E,
    kVkDivide = 0x6F,
    kVkF1 = 0x70,
    kVkF24 = 0x87,
    kVkNumLock = 0x90,
    kVkScroll = 0x91,
    kVkRMenu = 0xA5,
    kVkBrowserBack = 0xA6,
    kVkBrowserForward = 0xA7,
    kVkBrowserRefresh = 0xA8,
    kVkBrowserStop = 0xA9,
    kVkBrowserSearch = 0xAA,
    kVkBrowserFavorites = 0xAB,
    kVkBrowserHome = 0xAC,
    kVkVolumeMute = 0xAD,
    kVkVolumeDown = 0xAE,
    kVkVolumeUp = 0xAF,
    kVkMediaNext = 0xB0,
    kVkMediaPrev = 0xB1,
    kVkMediaStop = 0xB2,
    kVkMediaPlayPause = 0xB3,
    kVkLaunchMail = 0xB4,
    kVkLaunchMedia = 0xB5,
    kVkLaunchApp1 = 0xB6,
    kVkLaunchApp2 = 0xB7,
    kVkOem1 = 0xBA,       // ;:
    kVkOemPlus = 0xBB,    // =+
    kVkOemComma = 0xBC,   // ,<
    kVkOemMinus = 0xBD,   // -_
    kVkOemPeriod = 0xBE,  // .>
    kVkOem2 = 0xBF,       // /?
    kVkOem3 = 0xC0,       // `~
    kVkOem4 = 0xDB,       // [{
    kVkOem5 = 0xDC,       // \|
    kVkOem6 = 0xDD,       // ]}
    kVkOem7 = 0xDE,       // '"
};

// X keysyms of the ranges handled arithmetically.
enum : uint32_t {
    kXkLowerA = 0x61,
    kXkLowerZ = 0x7A,
    kXkKp0 = 0xFFB0,
    kXkKp9 = 0xFFB9,
    kXkF1 = 0xFFBE,
    kXkF24 = 0xFFD5,
};

struct KeyRow {
    uint32_t virtualKey;
    int qtKey;        // 0: no Qt key for this row
    uint32_t keysym;  // 0: no keysym for this row
};

// Rows of one code are listed with the unshifted, main-block key first: reverse
// lookups take the first row. Letters, digits, F-keys and keypad digits are ranges
// handled in code. Printable keysyms equal their Latin-1 code, as Qt keys do.
const KeyRow kRows[] = {
    {kVkBack, Qt::Key_Backspace, 0xFF08},                  // BackSpace
    {kVkTab, Qt::Key_Tab, 0xFF09},                         // Tab
    {kVkTab, Qt::Key_Backtab, 0xFE20},                     // ISO_Left_Tab
    {kVkTab, 0, 0xFF89},                                   // KP_Tab
    {kVkClear, Qt::Key_Clear, 0xFF0B},                     // Clear
    {kVkClear, 0, 0xFF58},                                 // Begin
    {kVkClear, 0, 0xFF9D},                                 // KP_Begin
    {kVkReturn, Qt::Key_Return, 0xFF0D},                   // Return
    {kVkReturn, Qt::Key_Enter, 0xFF8D},                    // KP_Enter
    {kVkShift, Qt::Key_Shift, 0xFFE1},                     // Shift_L
    {kVkShift, 0, 0xFFE2},                                 // Shift_R
    {kVkControl, Qt::Key_Control, 0xFFE3},                 // Control_L
    {kVkControl, 0, 0xFFE4},                               // Control_R
    {kVkMenu, Qt::Key_Alt, 0xFFE9},                        // Alt_L
    {kVkMenu, 0, 0xFFEA},                                  // Alt_R
    {kVkMenu, 0, 0xFFE7},                                  // Meta_L
    {kVkMenu, 0, 0xFFE8},                                  // Meta_R
    {kVkPause, Qt::Key_Pause, 0xFF13},                     // Pause
    {kVkCapital, Qt::Key_CapsLock, 0xFFE5},                // Caps_Lock
    {kVkEscape, Qt::Key_Escape, 0xFF1B},                   // Escape
    {kVkModeChange, Qt::Key_Mode_switch, 0xFF7E},          // Mode_switch
    {kVkSpace, Qt::Key_Space, 0x20},                       // space
    {kVkSpace, 0, 0xFF80},                                 // KP_Space
    {kVkPrior, Qt::Key_PageUp, 0xFF55},                    // Prior
    {kVkPrior, 0, 0xFF9A},                                 // KP_Prior
    {kVkNext, Qt::Key_PageDown, 0xFF56},                   // Next
    {kVkNext, 0, 0xFF9B},                                  // KP_Next
    {kVkEnd, Qt::Key_End, 0xFF57},                         // End
    {kVkEnd, 0, 0xFF9C},                                   // KP_End
    {kVkHome, Qt::Key_Home, 0xFF50},                       // Home
    {kVkHome, 0, 0xFF95},                                  // KP_Home
    {kVkLeft, Qt::Key_Left, 0xFF51},                       // Left
    {kVkLeft, 0, 0xFF96},                                  // KP_Left
    {kVkUp, Qt::Key_Up, 0xFF52},                           // Up
    {kVkUp, 0, 0xFF97},                                    // KP_Up
    {kVkRight, Qt::Key_Right, 0xFF53},                     // Right
    {kVkRight, 0, 0xFF98},                                 // KP_Right
    {kVkDown, Qt::Key_Down, 0xFF54},                       // Down
    {kVkDown, 0, 0xFF99},                                  // KP_Down
    {kVkSelect, Qt::Key_Select, 0xFF60},                   // Select
    {kVkPrint, Qt::Key_Printer, 0},                        //
    {kVkExecute, Qt::Key_Execute, 0xFF62},                 // Execute
    {kVkSnapshot, Qt::Key_Print, 0xFF61},                  // Print
    {kVkSnapshot, Qt::Key_SysReq, 0xFF15},                 // Sys_Req
    {kVkInsert, Qt::Key_Insert, 0xFF63},                   // Insert
    {kVkInsert, 0, 0xFF9E},                                // KP_Insert
    {kVkDelete, Qt::Key_Delete, 0xFFFF},                   // Delete
    {kVkDelete, 0, 0xFF9F},                                // KP_Delete
    {kVkHelp, Qt::Key_Help, 0xFF6A},                       // Help
    {kVk0, Qt::Key_ParenRight, 0x29},                      // parenright
    {kVk0 + 1, Qt::Key_Exclam, 0x21},                      // exclam
    {kVk0 + 2, Qt::Key_At, 0x40},                          // at
    {kVk0 + 3, Qt::Key_NumberSign, 0x23},                  // numbersign
    {kVk0 + 4, Qt::Key_Dollar, 0x24},                      // dollar
    {kVk0 + 5, Qt::Key_Percent, 0x25},                     // percent
    {kVk0 + 6, Qt::Key_AsciiCircum, 0x5E},                 // asciicircum
    {kVk0 + 7, Qt::Key_Ampersand, 0x26},                   // ampersand
    {kVk0 + 8, Qt::Key_Asterisk, 0x2A},                    // asterisk
    {kVk0 + 9, Qt::Key_ParenLeft, 0x28},                   // parenleft
    {kVkLWin, Qt::Key_Super_L, 0xFFEB},                    // Super_L
    {kVkLWin, Qt::Key_Meta, 0},                            //
    {kVkRWin, Qt::Key_Super_R, 0xFFEC},                    // Super_R
    {kVkApps, Qt::Key_Menu, 0xFF67},                       // Menu
    {kVkSleep, Qt::Key_Sleep, 0x1008FF2F},                 // XF86Sleep
    {kVkMultiply, 0, 0xFFAA},                              // KP_Multiply
    {kVkAdd, 0, 0xFFAB},                                   // KP_Add
    {kVkSeparator, 0, 0xFFAC},                             // KP_Separator
    {kVkSubtract, 0, 0xFFAD},                              // KP_Subtract
    {kVkDecimal, 0, 0xFFAE},                               // KP_Decimal
    {kVkDivide, 0, 0xFFAF},                                // KP_Divide
    {kVkNumLock, Qt::Key_NumLock, 0xFF7F},                 // Num_Lock
    {kVkScroll, Qt::Key_ScrollLock, 0xFF14},               // Scroll_Lock
    {kVkRMenu, Qt::Key_AltGr, 0xFE03},                     // ISO_Level3_Shift
    {kVkBrowserBack, Qt::Key_Back, 0x1008FF26},            // XF86Back
    {kVkBrowserForward, Qt::Key_Forward, 0x1008FF27},      // XF86Forward
    {kVkBrowserRefresh, Qt::Key_Refresh, 0x1008FF29},      // XF86Refresh
    {kVkBrowserStop, Qt::Key_Stop, 0x1008FF28},            // XF86Stop
    {kVkBrowserSearch, Qt::Key_Search, 0x1008FF1B},        // XF86Search
    {kVkBrowserFavorites, Qt::Key_Favorites, 0x1008FF30},  // XF86Favorites
    {kVkBrowserHome, Qt::Key_HomePage, 0x1008FF18},        // XF86HomePage
    {kVkVolumeMute, Qt::Key_VolumeMute, 0x1008FF12},       // XF86AudioMute
    {kVkVolumeDown, Qt::Key_VolumeDown, 0x1008FF11},       // XF86AudioLowerVolume
    {kVkVolumeUp, Qt::Key_VolumeUp, 0x1008FF13},           // XF86AudioRaiseVolume
    {kVkMediaNext, Qt::Key_MediaNext, 0x1008FF17},         // XF86AudioNext
    {kVkMediaPrev, Qt::Key_MediaPrevious, 0x1008FF16},     // XF86AudioPrev
    {kVkMediaStop, Qt::Key_MediaStop, 0x1008FF15},         // XF86AudioStop
    {kVkMediaPlayPause, Qt::Key_MediaTogglePlayPause, 0},  //
    {kVkMediaPlayPause, Qt::Key_MediaPlay, 0x1008FF14},    // XF86AudioPlay
    {kVkMediaPlayPause, Qt::Key_MediaPause, 0x1008FF31},   // XF86AudioPause
    {kVkLaunchMail, Qt::Key_LaunchMail, 0x1008FF19},       // XF86Mail
    {kVkLaunchMedia, Qt::Key_LaunchMedia, 0x1008FF32},     // XF86AudioMedia
    {kVkLaunchApp1, Qt::Key_Launch0, 0x1008FF33},          // XF86MyComputer
    {kVkLaunchApp2, Qt::Key_Launch1, 0x1008FF1D},          // XF86Calculator
    {kVkOem1, Qt::Key_Semicolon, 0x3B},                    // semicolon
    {kVkOem1, Qt::Key_Colon, 0x3A},                        // colon
    {kVkOemPlus, Qt::Key_Equal, 0x3D},                     // equal
    {kVkOemPlus, Qt::Key_Plus, 0x2B},                      // plus
    {kVkOemComma, Qt::Key_Comma, 0x2C},                    // comma
    {kVkOemComma, Qt::Key_Less, 0x3C},                     // less
    {kVkOemMinus, Qt::Key_Minus, 0x2D},                    // minus
    {kVkOemMinus, Qt::Key_Underscore, 0x5F},               // underscore
    {kVkOemPeriod, Qt::Key_Period, 0x2E},                  // period
    {kVkOemPeriod, Qt::Key_Greater, 0x3E},                 // greater
    {kVkOem2, Qt::Key_Slash, 0x2F},                        // slash
    {kVkOem2, Qt::Key_Question, 0x3F},                     // question
    {kVkOem3, Qt::Key_QuoteLeft, 0x60},                    // grave
    {kVkOem3, Qt::Key_AsciiTilde, 0x7E},                   // asciitilde
    {kVkOem4, Qt::Key_BracketLeft, 0x5B},                  // bracketleft
    {kVkOem4, Qt::Key_BraceLeft, 0x7B},                    // braceleft
    {kVkOem5, Qt::Key_Backslash, 0x5C},                    // backslash
    {kVkOem5, Qt::Key_Bar, 0x7C},                          // bar
    {kVkOem6, Qt::Key_BracketRight, 0x5D},                 // bracketright
    {kVkOem6, Qt::Key_BraceRight, 0x7D},                   // braceright
    {kVkOem7, Qt::Key_Apostrophe, 0x27},                   // apostrophe
    {kVkOem7, Qt::Key_QuoteDbl, 0x22},                     // quotedbl
};

bool inRange(uint32_t value, uint32_t first, uint32_t last) {
    return value >= first && value <= last;
}

// Keys of the numeric keypad carry Qt's keypad modifier and their main-block key.
uint32_t keypadCode(int key) {
    if (inRange(uint32_t(key), Qt::Key_0, Qt::Key_9)) {
        return kVkNumpad0 + uint32_t(key - Qt::Key_0);
    }
    switch (key) {
        case Qt::Key_Asterisk:
            return kVkMultiply;
        case Qt::Key_Plus:
            return kVkAdd;
        case Qt::Key_Comma:
            return kVkSeparator;
        case Qt::Key_Minus:
            return kVkSubtract;
        case Qt::Key_Period:
            return kVkDecimal;
        case Qt::Key_Slash:
            return kVkDivide;
        default:
            return 0;
    }
}

}  // namespace

uint32_t VirtualKeys::fromQtKey(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (const uint32_t code = keypadCode(key)) {
            return code;
        }
    }
    const uint32_t k = uint32_t(key);
    if (inRange(k, Qt::Key_A, Qt::Key_Z) || inRange(k, Qt::Key_0, Qt::Key_9)) {
        return k;  // Qt and Windows share the ASCII codes of letters and digits
    }
    if (inRange(k, Qt::Key_F1, Qt::Key_F24)) {
        return kVkF1 + (k - Qt::Key_F1);
    }
    for (const KeyRow& row : kRows) {
        if (row.qtKey != 0 && row.qtKey == key) {
            return row.virtualKey;
        }
    }
    return 0;
}

uint32_t VirtualKeys::fromKeysym(uint32_t keysym) {
    if (inRange(keysym, kXkLowerA, kXkLowerZ)) {
        return keysym - (kXkLowerA - kVkA);
    }
    if (inRange(keysym, kVkA, kVkZ) || inRange(keysym, kVk0, kVk9)) {
        return keysym;  // upper-case letters and digits are ASCII in both
    }
    if (inRange(keysym, kXkKp0, kXkKp9)) {
        return kVkNumpad0 + (keysym - kXkKp0);
    }
    if (inRange(keysym, kXkF1, kXkF24)) {
        return kVkF1 + (keysym - kXkF1);
    }
    for (const KeyRow& row : kRows) {
        if (row.keysym != 0 && row.keysym == keysym) {
            return row.virtualKey;
        }
    }
    return 0;
}

uint32_t VirtualKeys::fromNative(uint32_t nativeVirtualKey) {
#ifdef Q_OS_WIN
    return nativeVirtualKey;
#else
    return fromKeysym(nativeVirtualKey);
#endif
}

uint32_t VirtualKeys::toNative(uint32_t virtualKey) {
#ifdef Q_OS_WIN
    return virtualKey;
#else
    return toKeysym(virtualKey);
#endif
}

uint32_t VirtualKeys::fromKeyEvent(const QKeyEvent& event) {
    if (event.nativeVirtualKey() != 0) {
        if (const uint32_t code = fromNative(event.nativeVirtualKey())) {
            return code;
        }
    }
    return fromQtKey(event.key(), event.modifiers());
}

int VirtualKeys::toQtKey(uint32_t virtualKey) {
    if (inRange(virtualKey, kVkA, kVkZ) || inRange(virtualKey, kVk0, kVk9)) {
        return int(virtualKey);
    }
    if (inRange(virtualKey, kVkNumpad0, kVkNumpad9)) {
        return Qt::Key_0 + int(virtualKey - kVkNumpad0);
    }
    if (inRange(virtualKey, kVkF1, kVkF24)) {
        return Qt::Key_F1 + int(virtualKey - kVkF1);
    }
    for (const KeyRow& row : kRows) {
        if (row.virtualKey == virtualKey && row.qtKey != 0) {
            return row.qtKey;
        }
    }
    return 0;
}

uint32_t VirtualKeys::toKeysym(uint32_t virtualKey) {
    if (inRange(virtualKey, kVkA, kVkZ)) {
        return virtualKey + (kXkLowerA - kVkA);
    }
    if (inRange(virtualKey, kVk0, kVk9)) {
        return virtualKey;
    }
    if (inRange(virtualKey, kVkNumpad0, kVkNumpad9)) {
        return kXkKp0 + (virtualKey - kVkNumpad0);
    }
    if (inRange(virtualKey, kVkF1, kVkF24)) {
        return kXkF1 + (virtualKey - kVkF1);
    }
    for (const KeyRow& row : kRows) {
        if (row.virtualKey == virtualKey && row.keysym != 0) {
            return row.keysym;
        }
    }
    return 0;
}

}  // namespace live
