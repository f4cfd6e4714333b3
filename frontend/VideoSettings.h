#pragma once

#include <QString>

#include <obs.h>
#include <util/config-file.h>

// The engine's video set-up as the profile describes it.
class VideoSettings {
public:
    // Fills `ovi` from the profile's "Video" section; the graphics module is OpenGL.
    static void read(config_t* profile, obs_video_info* ovi);
    // "30", "29.97", "24 NTSC" and the like as numerator and denominator; 30/1 otherwise.
    static void parseCommonFps(const QString& text, uint32_t* num, uint32_t* den);
};
