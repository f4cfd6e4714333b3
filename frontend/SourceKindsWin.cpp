#include "frontend/SourceKinds.h"

#include <QtGlobal>

// Windows engine types. Loop flags use the engine's real names ("looping" for media,
// "loop" for slideshows).
const std::vector<SourceKind>& SourceKinds::table() {
    static const std::vector<SourceKind> kinds = {
        {kCamera, "dshow_input", "video_device_id", true, nullptr, nullptr,
         QT_TRANSLATE_NOOP("SourceKinds", "相机")},
        {kMonitor, "monitor_capture", "monitor", true, "capture_cursor", nullptr,
         QT_TRANSLATE_NOOP("SourceKinds", "桌面")},
        {kWindow, "window_capture", "window", true, "cursor", nullptr,
         QT_TRANSLATE_NOOP("SourceKinds", "窗口")},
        {kImage, "image_source", "file", false, nullptr, nullptr,
         QT_TRANSLATE_NOOP("SourceKinds", "图片")},
        {kMedia, "ffmpeg_source", "local_file", false, "looping", nullptr,
         QT_TRANSLATE_NOOP("SourceKinds", "视频")},
        {kSlideshow, "slideshow", "files", false, "loop", "slide_mode",
         QT_TRANSLATE_NOOP("SourceKinds", "图片组")},
    };
    return kinds;
}

const char* SourceKinds::inputAudioType() {
    return "wasapi_input_capture";
}

const char* SourceKinds::outputAudioType() {
    return "wasapi_output_capture";
}
