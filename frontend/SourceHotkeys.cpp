#include "frontend/SourceHotkeys.h"

#include <obs.hpp>

namespace {

struct Registered {
    void* registerer;
    QHash<QString, obs_hotkey_id> ids;
};

struct Binding {
    obs_hotkey_id id;
    obs_key_combination_t combination = {};
};

}  // namespace

QHash<QString, obs_hotkey_id> SourceHotkeys::of(obs_source_t* source) {
    if (!source) {
        return {};
    }
    // A source's hotkeys name its weak reference as their registerer; it is only compared.
    OBSWeakSourceAutoRelease weak = obs_source_get_weak_source(source);
    Registered found{weak.Get(), {}};
    obs_enum_hotkeys(
        [](void* data, obs_hotkey_id id, obs_hotkey_t* key) {
            auto* r = static_cast<Registered*>(data);
            if (obs_hotkey_get_registerer_type(key) == OBS_HOTKEY_REGISTERER_SOURCE &&
                obs_hotkey_get_registerer(key) == r->registerer) {
                r->ids.insert(QString::fromUtf8(obs_hotkey_get_name(key)), id);
            }
            return true;
        },
        &found);
    return found.ids;
}

obs_key_combination_t SourceHotkeys::firstBinding(obs_hotkey_id id) {
    Binding binding{id};
    binding.combination.key = OBS_KEY_NONE;
    obs_enum_hotkey_bindings(
        [](void* data, size_t, obs_hotkey_binding_t* b) {
            auto* wanted = static_cast<Binding*>(data);
            if (obs_hotkey_binding_get_hotkey_id(b) != wanted->id) {
                return true;
            }
            wanted->combination = obs_hotkey_binding_get_key_combination(b);
            return false;
        },
        &binding);
    return binding.combination;
}

void SourceHotkeys::bind(obs_hotkey_id id, obs_key_combination_t combination) {
    obs_hotkey_load_bindings(id, &combination, obs_key_combination_is_empty(combination) ? 0 : 1);
}
