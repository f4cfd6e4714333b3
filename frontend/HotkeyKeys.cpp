#include "frontend/HotkeyKeys.h"

#include <QRegularExpression>
#include <Qt>

#include <util/dstr.h>

#include "platform/VirtualKeys.h"

namespace {

struct ModifierPair {
    uint32_t engine;
    uint32_t qt;
};

const ModifierPair kModifiers[] = {
    {INTERACT_SHIFT_KEY, Qt::ShiftModifier},
    {INTERACT_CONTROL_KEY, Qt::ControlModifier},
    {INTERACT_ALT_KEY, Qt::AltModifier},
    {INTERACT_COMMAND_KEY, Qt::MetaModifier},
};

}  // namespace

uint32_t HotkeyKeys::toEngineModifiers(uint32_t qtModifiers) {
    uint32_t engine = 0;
    for (const ModifierPair& m : kModifiers) {
        if (qtModifiers & m.qt) {
            engine |= m.engine;
        }
    }
    return engine;
}

uint32_t HotkeyKeys::fromEngineModifiers(uint32_t engineModifiers) {
    uint32_t qt = 0;
    for (const ModifierPair& m : kModifiers) {
        if (engineModifiers & m.engine) {
            qt |= m.qt;
        }
    }
    return qt;
}

obs_key_combination_t HotkeyKeys::toCombination(const orbLiveImp::OrbShortcut& shortcut) {
    obs_key_combination_t combination = {};
    combination.key = OBS_KEY_NONE;
    const uint32_t native = live::VirtualKeys::toNative(shortcut.virtualKey);
    if (native != 0) {
        combination.key = obs_key_from_virtual_key(static_cast<int>(native));
    }
    // Modifiers without a key would fire on every press of that modifier.
    if (combination.key != OBS_KEY_NONE) {
        combination.modifiers = toEngineModifiers(shortcut.modifiers);
    }
    return combination;
}

orbLiveImp::OrbShortcut HotkeyKeys::fromCombination(obs_key_combination_t combination) {
    orbLiveImp::OrbShortcut shortcut;
    shortcut.modifiers = fromEngineModifiers(combination.modifiers);
    if (combination.key != OBS_KEY_NONE) {
        const int native = obs_key_to_virtual_key(combination.key);
        shortcut.virtualKey = native > 0 ? live::VirtualKeys::fromNative(uint32_t(native)) : 0;
    }
    shortcut.text = text(combination);
    return shortcut;
}

QString HotkeyKeys::text(obs_key_combination_t combination) {
    if (obs_key_combination_is_empty(combination)) {
        return QString();
    }
    struct dstr str = {};
    obs_key_combination_to_str(combination, &str);
    QString result = QString::fromUtf8(str.array ? str.array : "");
    dstr_free(&str);
    static const QRegularExpression kSpace(QStringLiteral("\\s+"));
    return result.remove(kSpace);
}
