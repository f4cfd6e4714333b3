#pragma once

#include <util/config-file.h>

#include "studio/LiveSettings.h"

class OBSApp;
class OBSBasic;

// The live settings record against the studio's profile, audio channels and stream
// service. Zero numbers and empty texts in a record given to write() mean "unchanged".
class LiveProfile {
public:
    enum Channel { kDesktopChannel = 1, kMicrophoneChannel = 3 };

    static void read(OBSBasic* basic, LiveSettings& record);
    // Checks the record first and writes nothing when it is refused.
    static LiveSettingsResult write(OBSApp* app, OBSBasic* basic, const LiveSettings& record);

    // Moves recordings to the user's movies folder when the profile's folder cannot be
    // used; true when it did.
    static bool ensureRecordFolder(OBSBasic* basic);

private:
    static LiveSettingsResult check(OBSBasic* basic, const LiveSettings& record);
    static void writeVideo(config_t* profile, const LiveSettings& record);
    static void writeAudio(OBSApp* app, OBSBasic* basic, const LiveSettings& record);
};
