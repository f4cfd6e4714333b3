#include "frontend/StudioEngine.h"

#include <QFile>

#include <obs.h>
#ifdef Q_OS_LINUX
#include <obs-nix-platform.h>
#endif

#include "core/Log.h"
#include "frontend/RendererProbe.h"
#include "frontend/VideoSettings.h"

StudioEngine::~StudioEngine() {
    stop();
}

bool StudioEngine::start(void* display, const QString& locale, const QString& moduleConfigPath) {
    if (running_) {
        return true;
    }
#ifdef Q_OS_LINUX
    if (!display) {
        return false;
    }
    // libobs 29 renders through EGL on X11; it must know the platform before it starts.
    obs_set_nix_platform(OBS_NIX_PLATFORM_X11_EGL);
    obs_set_nix_platform_display(display);
#else
    // On Windows the engine draws through Direct3D and needs no display connection.
    Q_UNUSED(display);
#endif
    const QByteArray configPath = QFile::encodeName(moduleConfigPath);
    if (!obs_startup(locale.toUtf8().constData(), configPath.constData(), nullptr)) {
        live::log::error("{}: engine start-up failed", "StudioEngine::start");
        return false;
    }
    running_ = true;
    return true;
}

void StudioEngine::stop() {
    if (!running_) {
        return;
    }
    running_ = false;
    obs_shutdown();
}

bool StudioEngine::resetAudio(config_t* profile) {
    obs_audio_info info = {};
    info.samples_per_sec = static_cast<uint32_t>(config_get_uint(profile, "Audio", "SampleRate"));
    if (info.samples_per_sec == 0) {
        info.samples_per_sec = 48000;
    }
    const QString channels = QString::fromUtf8(config_get_string(profile, "Audio", "ChannelSetup"));
    info.speakers = channels == QLatin1String("Mono") ? SPEAKERS_MONO : SPEAKERS_STEREO;
    return obs_reset_audio(&info);
}

int StudioEngine::resetVideo(config_t* profile) {
    obs_video_info ovi;
    VideoSettings::read(profile, &ovi);
    // Unless the profile says otherwise, a software renderer leaves the colour conversion to
    // the processor: measured there, converting in shaders cost a quarter more processor time
    // and made frames late, the other way none. The renderer is known only once video is up.
    const bool automatic = !config_has_user_value(profile, "Video", "GPUConversion");
    if (automatic && softwareRenderer_ != Renderer::Unknown) {
        ovi.gpu_conversion = softwareRenderer_ == Renderer::Hardware;
    }
    int rc = obs_reset_video(&ovi);
    if (rc == OBS_VIDEO_SUCCESS && automatic && softwareRenderer_ == Renderer::Unknown) {
        const QString name = RendererProbe::rendererName();
        softwareRenderer_ =
            RendererProbe::isSoftware(name) ? Renderer::Software : Renderer::Hardware;
        if (softwareRenderer_ == Renderer::Software) {
            live::log::warn("{}: composing on the processor ({}), colour conversion too",
                            "StudioEngine::resetVideo", name.toStdString());
            ovi.gpu_conversion = false;
            rc = obs_reset_video(&ovi);
        }
    }
    if (rc != OBS_VIDEO_SUCCESS) {
        live::log::error("{}: video reset failed, error {}", "StudioEngine::resetVideo", rc);
    }
    return rc;
}
