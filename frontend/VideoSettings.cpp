#include "frontend/VideoSettings.h"

#include <cmath>

namespace {

video_format colorFormat(const char* name) {
    const QString n = QString::fromUtf8(name);
    if (n == QLatin1String("I420")) {
        return VIDEO_FORMAT_I420;
    }
    if (n == QLatin1String("I444")) {
        return VIDEO_FORMAT_I444;
    }
    if (n == QLatin1String("RGB")) {
        return VIDEO_FORMAT_BGRA;
    }
    return VIDEO_FORMAT_NV12;
}

obs_scale_type scaleType(const char* name) {
    const QString n = QString::fromUtf8(name);
    if (n == QLatin1String("bilinear")) {
        return OBS_SCALE_BILINEAR;
    }
    if (n == QLatin1String("lanczos")) {
        return OBS_SCALE_LANCZOS;
    }
    if (n == QLatin1String("area")) {
        return OBS_SCALE_AREA;
    }
    return OBS_SCALE_BICUBIC;
}

uint32_t positiveOr(uint64_t value, uint32_t fallback) {
    return value > 0 && value <= 16384 ? static_cast<uint32_t>(value) : fallback;
}

}  // namespace

void VideoSettings::parseCommonFps(const QString& text, uint32_t* num, uint32_t* den) {
    *num = 30;
    *den = 1;
    QString t = text.trimmed();
    const bool ntsc = t.endsWith(QLatin1String("NTSC"));
    if (ntsc) {
        t.chop(4);
    }
    bool ok = false;
    const double fps = t.trimmed().toDouble(&ok);
    if (!ok || fps <= 0.0 || fps > 1000.0) {
        return;
    }
    const double whole = std::round(fps);
    if (ntsc || std::fabs(fps - whole) > 1e-6) {
        // 29.97, 59.94, 23.976: the broadcast rates are whole rates slowed by 1000/1001.
        *num = static_cast<uint32_t>(std::ceil(fps)) * 1000;
        *den = 1001;
        return;
    }
    *num = static_cast<uint32_t>(whole);
}

void VideoSettings::read(config_t* profile, obs_video_info* ovi) {
    *ovi = {};
    ovi->graphics_module = "libobs-opengl";
    ovi->base_width = positiveOr(config_get_uint(profile, "Video", "BaseCX"), 1280);
    ovi->base_height = positiveOr(config_get_uint(profile, "Video", "BaseCY"), 720);
    ovi->output_width = positiveOr(config_get_uint(profile, "Video", "OutputCX"), 1280);
    ovi->output_height = positiveOr(config_get_uint(profile, "Video", "OutputCY"), 720);
    switch (config_get_uint(profile, "Video", "FPSType")) {
        case 1:
            ovi->fps_num = positiveOr(config_get_uint(profile, "Video", "FPSInt"), 30);
            ovi->fps_den = 1;
            break;
        case 2:
            ovi->fps_num = positiveOr(config_get_uint(profile, "Video", "FPSNum"), 30);
            ovi->fps_den = positiveOr(config_get_uint(profile, "Video", "FPSDen"), 1);
            break;
        default:
            parseCommonFps(QString::fromUtf8(config_get_string(profile, "Video", "FPSCommon")),
                           &ovi->fps_num, &ovi->fps_den);
            break;
    }
    ovi->output_format = colorFormat(config_get_string(profile, "Video", "ColorFormat"));
    ovi->colorspace =
        QString::fromUtf8(config_get_string(profile, "Video", "ColorSpace")) == QLatin1String("601")
            ? VIDEO_CS_601
            : VIDEO_CS_709;
    ovi->range = QString::fromUtf8(config_get_string(profile, "Video", "ColorRange")) ==
                         QLatin1String("Full")
                     ? VIDEO_RANGE_FULL
                     : VIDEO_RANGE_PARTIAL;
    ovi->scale_type = scaleType(config_get_string(profile, "Video", "ScaleType"));
    ovi->gpu_conversion = config_get_bool(profile, "Video", "GPUConversion");
    ovi->adapter = 0;
}
