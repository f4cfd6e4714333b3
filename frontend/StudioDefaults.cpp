#include "frontend/StudioDefaults.h"

#include <QDir>
#include <QStandardPaths>
#include <initializer_list>
#include <utility>

namespace {

QByteArray moviesFolder() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (dir.isEmpty()) {
        dir = QDir::homePath();
    }
    return QDir::toNativeSeparators(dir).toUtf8();
}

// Writes the defaults of `keys` as stored values where the user has none, so the files
// show every setting the client reads (and an empty file is never written).
void storeDefaults(config_t* config,
                   std::initializer_list<std::pair<const char*, const char*>> keys) {
    for (const auto& key : keys) {
        if (!config_has_user_value(config, key.first, key.second)) {
            config_set_string(config, key.first, key.second,
                              config_get_default_string(config, key.first, key.second));
        }
    }
}

}  // namespace

void StudioDefaults::applyGlobal(config_t* global) {
    config_set_default_string(global, "General", "Language", "zh-CN");
    config_set_default_string(global, "Basic", "Profile", "default");
    config_set_default_string(global, "Basic", "SceneCollection", "scenes");
    storeDefaults(global,
                  {{"General", "Language"}, {"Basic", "Profile"}, {"Basic", "SceneCollection"}});
}

void StudioDefaults::applyProfile(config_t* profile) {
    config_set_default_uint(profile, "Video", "BaseCX", 1280);
    config_set_default_uint(profile, "Video", "BaseCY", 720);
    config_set_default_uint(profile, "Video", "OutputCX", 1280);
    config_set_default_uint(profile, "Video", "OutputCY", 720);
    config_set_default_uint(profile, "Video", "FPSType", 0);
    config_set_default_string(profile, "Video", "FPSCommon", "30");
    config_set_default_uint(profile, "Video", "FPSInt", 30);
    config_set_default_uint(profile, "Video", "FPSNum", 30);
    config_set_default_uint(profile, "Video", "FPSDen", 1);
    config_set_default_string(profile, "Video", "ScaleType", "bicubic");
    config_set_default_string(profile, "Video", "ColorFormat", "NV12");
    config_set_default_string(profile, "Video", "ColorSpace", "709");
    config_set_default_string(profile, "Video", "ColorRange", "Partial");
    config_set_default_bool(profile, "Video", "GPUConversion", true);

    config_set_default_uint(profile, "Audio", "SampleRate", 48000);
    config_set_default_string(profile, "Audio", "ChannelSetup", "Stereo");

    config_set_default_uint(profile, "SimpleOutput", "VBitrate", 1500);
    config_set_default_uint(profile, "SimpleOutput", "ABitrate", 160);
    config_set_default_string(profile, "SimpleOutput", "FilePath", moviesFolder().constData());
    config_set_default_string(profile, "SimpleOutput", "RecFormat", "mp4");
    storeDefaults(profile, {{"Video", "BaseCX"},
                            {"Video", "BaseCY"},
                            {"Video", "OutputCX"},
                            {"Video", "OutputCY"},
                            {"Video", "FPSType"},
                            {"Video", "FPSCommon"},
                            {"SimpleOutput", "VBitrate"},
                            {"SimpleOutput", "FilePath"},
                            {"SimpleOutput", "RecFormat"}});
}
