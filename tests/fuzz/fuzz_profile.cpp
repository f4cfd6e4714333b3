// The INI profile reader: the engine's configuration file, read as the studio reads its video
// settings.
#include <obs.h>

#include "frontend/IniConfig.h"
#include "frontend/VideoSettings.h"
#include "fuzz/FuzzTarget.h"

ORB_FUZZ_TARGET(profile) {
    IniConfig ini;
    if (!ini.open(fuzz::scratchFile("basic.ini", fuzz::bytes(data, size)))) {
        return 0;
    }
    obs_video_info ovi;
    VideoSettings::read(ini.get(), &ovi);
    return 0;
}
