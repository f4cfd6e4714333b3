#include "frontend/OBSBasic.h"

#include <QStringList>

#include "core/Log.h"
#include "frontend/HotkeyKeys.h"
#include "frontend/SourceHotkeys.h"

void OBSBasic::setHotkey(obs_source_t* source,
                         const std::vector<orbLiveImp::OrbShortcut>& shortcuts) {
    static const QStringList kNames = {QStringLiteral("SlideShow.PreviousSlide"),
                                       QStringLiteral("SlideShow.NextSlide")};
    const QHash<QString, obs_hotkey_id> ids = SourceHotkeys::of(source);
    if (ids.isEmpty()) {
        live::log::warn("{}: the source has no hotkeys", "OBSBasic::setHotkey");
        return;
    }
    for (int i = 0; i < kNames.size(); ++i) {
        const auto id = ids.constFind(kNames[i]);
        if (id == ids.constEnd()) {
            continue;
        }
        const orbLiveImp::OrbShortcut none;
        const orbLiveImp::OrbShortcut& wanted =
            size_t(i) < shortcuts.size() ? shortcuts[size_t(i)] : none;
        SourceHotkeys::bind(*id, HotkeyKeys::toCombination(wanted));
    }
}
