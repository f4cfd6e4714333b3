#pragma once

#include <QHash>
#include <QString>

#include <obs.h>

// The hotkeys a source registered, by name, and their bindings.
class SourceHotkeys {
public:
    static QHash<QString, obs_hotkey_id> of(obs_source_t* source);
    // The first key combination bound to the hotkey; empty when it has none.
    static obs_key_combination_t firstBinding(obs_hotkey_id id);
    // Replaces the hotkey's bindings by `combination`, or by none when it is empty.
    static void bind(obs_hotkey_id id, obs_key_combination_t combination);
};
