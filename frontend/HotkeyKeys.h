#pragma once

#include <QString>

#include <obs.h>

#include "frontend/OrbShortcut.h"

// Shortcuts as the client keeps them (Qt modifier bits and a Windows virtual-key code)
// against the engine's key combinations. Keys pass through the platform's one key table,
// so both directions agree with what the hotkey field records.
class HotkeyKeys {
public:
    static obs_key_combination_t toCombination(const orbLiveImp::OrbShortcut& shortcut);
    // Fills the text from the engine's own naming of the combination.
    static orbLiveImp::OrbShortcut fromCombination(obs_key_combination_t combination);

    static uint32_t toEngineModifiers(uint32_t qtModifiers);
    static uint32_t fromEngineModifiers(uint32_t engineModifiers);
    // The engine's text for the combination, without white space ("Ctrl+Shift+Right").
    static QString text(obs_key_combination_t combination);
};
