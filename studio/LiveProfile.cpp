#include "studio/LiveProfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <util/config-file.h>
#include <obs.hpp>

#include "core/Log.h"
#include "frontend/OBSApp.h"
#include "frontend/OBSBasic.h"

namespace {

QString deviceOn(uint32_t channel) {
    OBSSourceAutoRelease source = obs_get_output_source(channel);
    if (!source) {
        return QString();
    }
    OBSDataAutoRelease settings = obs_source_get_settings(source);
    return QString::fromUtf8(obs_data_get_string(settings, "device_id"));
}

QString text(config_t* config, const char* section, const char* key) {
    return QString::fromUtf8(config_get_string(config, section, key));
}

void setText(config_t* config, const char* section, const char* key, const QString& value) {
    config_set_string(config, section, key, value.toUtf8().constData());
}

bool usableFolder(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    if (!QDir(path).exists() && !QDir().mkpath(path)) {
        return false;
    }
    return QFileInfo(path).isWritable();
}

// An output that has just stopped keeps the engine's video until its encoders let go, and
// the engine cannot reset the video before that.
bool busy(OBSBasic* basic) {
    return basic->outputsActive() || obs_video_active();
}

void saveConfigs(OBSApp* app, OBSBasic* basic) {
    if (config_save_safe(basic->Config(), "tmp", nullptr) != CONFIG_SUCCESS) {
        live::log::error("{}: failed to save the profile", "OrbOBS::setLiveSettings");
    }
    if (app->GlobalConfig() &&
        config_save_safe(app->GlobalConfig(), "tmp", nullptr) != CONFIG_SUCCESS) {
        live::log::error("{}: failed to save the global configuration", "OrbOBS::setLiveSettings");
    }
}

}  // namespace

void LiveProfile::read(OBSBasic* basic, LiveSettings& record) {
    config_t* profile = basic ? basic->Config() : nullptr;
    if (!profile) {
        return;
    }
    record.width = uint32_t(config_get_uint(profile, "Video", "OutputCX"));
    record.height = uint32_t(config_get_uint(profile, "Video", "OutputCY"));
    record.fps = text(profile, "Video", "FPSCommon").toUInt(nullptr, 10);
    record.bitrate = uint32_t(config_get_uint(profile, "SimpleOutput", "VBitrate"));
    record.microphone.id = deviceOn(kMicrophoneChannel);
    record.desktop.id = deviceOn(kDesktopChannel);
    record.recordPath = text(profile, "SimpleOutput", "FilePath");
    record.recordFormat = text(profile, "SimpleOutput", "RecFormat");
    if (obs_service_t* service = basic->GetService()) {
        OBSDataAutoRelease settings = obs_service_get_settings(service);
        record.server = QString::fromUtf8(obs_data_get_string(settings, "server"));
        record.key = QString::fromUtf8(obs_data_get_string(settings, "key"));
    }
}

LiveSettingsResult LiveProfile::check(OBSBasic* basic, const LiveSettings& record) {
    if (!record.recordPath.isEmpty()) {
        const QFileInfo folder(record.recordPath);
        if (!folder.isDir() || !folder.isWritable()) {
            live::log::warn("{}: recording folder {} refused", "OrbOBS::setLiveSettings",
                            record.recordPath);
            return kLiveSettingsBadRecordFolder;
        }
    }
    const bool videoChange =
        (record.width != 0 && record.height != 0) || record.fps != 0 || record.bitrate != 0;
    if (videoChange && busy(basic)) {
        live::log::warn("{}: video settings refused while streaming or recording",
                        "OrbOBS::setLiveSettings");
        return kLiveSettingsOutputsActive;
    }
    return kLiveSettingsApplied;
}

void LiveProfile::writeVideo(config_t* profile, const LiveSettings& record) {
    if (record.width != 0 && record.height != 0) {
        config_set_uint(profile, "Video", "OutputCX", record.width);
        config_set_uint(profile, "Video", "OutputCY", record.height);
    }
    if (record.fps != 0) {
        config_set_uint(profile, "Video", "FPSType", 0);
        setText(profile, "Video", "FPSCommon", QString::number(record.fps));
    }
    if (record.bitrate != 0) {
        config_set_uint(profile, "SimpleOutput", "VBitrate", record.bitrate);
    }
}

void LiveProfile::writeAudio(OBSApp* app, OBSBasic* basic, const LiveSettings& record) {
    if (!record.desktop.id.isEmpty()) {
        basic->ResetAudioDevice(app->OutputAudioSource(), record.desktop.id.toUtf8().constData(),
                                app->GetString("Basic.DesktopDevice1").toUtf8().constData(),
                                kDesktopChannel);
    }
    if (!record.microphone.id.isEmpty()) {
        basic->ResetAudioDevice(app->InputAudioSource(), record.microphone.id.toUtf8().constData(),
                                app->GetString("Basic.AuxDevice1").toUtf8().constData(),
                                kMicrophoneChannel);
    }
}

LiveSettingsResult LiveProfile::write(OBSApp* app, OBSBasic* basic, const LiveSettings& record) {
    config_t* profile = basic ? basic->Config() : nullptr;
    if (!app || !profile) {
        return kLiveSettingsNoStudio;
    }
    const LiveSettingsResult verdict = check(basic, record);
    if (verdict != kLiveSettingsApplied) {
        return verdict;
    }
    writeVideo(profile, record);
    writeAudio(app, basic, record);
    if (!record.recordPath.isEmpty()) {
        setText(profile, "SimpleOutput", "FilePath", record.recordPath);
    }
    if (!record.recordFormat.isEmpty()) {
        setText(profile, "SimpleOutput", "RecFormat", record.recordFormat);
    }
    // A running output keeps its video and encoders; folder, format and devices need no
    // reset (the next recording reads them, a device is swapped at once).
    if (!busy(basic)) {
        basic->ResetVideo();
        basic->ResetOutputs();
    }
    saveConfigs(app, basic);
    basic->SaveProject();
    return kLiveSettingsApplied;
}

bool LiveProfile::ensureRecordFolder(OBSBasic* basic) {
    config_t* profile = basic ? basic->Config() : nullptr;
    if (!profile) {
        return false;
    }
    const QString folder = text(profile, "SimpleOutput", "FilePath");
    if (usableFolder(folder)) {
        return false;
    }
    QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (movies.isEmpty()) {
        movies = QDir::homePath();
    }
    QDir().mkpath(movies);
    live::log::warn("{}: recording folder {} unusable, using {}", "OrbOBS::init", folder, movies);
    setText(profile, "SimpleOutput", "FilePath", QDir::toNativeSeparators(movies));
    // The folder must survive a crash as well as a clean exit.
    if (config_save_safe(profile, "tmp", nullptr) != CONFIG_SUCCESS) {
        live::log::error("{}: failed to save the profile", "OrbOBS::init");
    }
    basic->SaveProject();
    return true;
}
