#pragma once

#include <obs.h>

#include "frontend/SourceKinds.h"
#include "frontend/SoureParam.h"

// One material's settings as a SoureParam, both ways, after the kind table: the engine's
// own property names, so a value written here is the one the source uses.
class SourceProps {
public:
    // The kind of an engine type id; unknown types count as cameras.
    static uint8_t kindOf(const char* typeId);

    // Everything but the hotkeys, which the caller adds for slideshows.
    static void read(obs_source_t* source, obs_scene_t* scene, orbLiveImp::SoureParam& out);
    // Fills `settings` (a copy of the source's) from `in`; false when nothing may be
    // written (an unknown kind, or a choice that is no longer listed).
    static bool write(obs_source_t* source, const orbLiveImp::SoureParam& in, obs_data_t* settings);
};
