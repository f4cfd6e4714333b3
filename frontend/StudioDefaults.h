#pragma once

#include <util/config-file.h>

// The default values of the studio's configurations; stored keys override them.
class StudioDefaults {
public:
    static void applyGlobal(config_t* global);
    static void applyProfile(config_t* profile);
};
