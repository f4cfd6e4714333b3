#include "frontend/SourceKinds.h"

// Windows engine types. Loop flags use the engine's real names ("looping" for media,
// "loop" for slideshows).
const std::vector<SourceKind>& SourceKinds::table() {
    static const std::vector<SourceKind> kinds = {
        {kCamera, "dshow_input", "video_device_id", true, nullptr, nullptr, "相机"},
        {kMonitor, "monitor_capture", "monitor", true, "capture_cursor", nullptr, "桌面"},
        {kWindow, "window_capture", "window", true, "cursor", nullptr, "窗口"},
        {kImage, "image_source", "file", false, nullptr, nullptr, "图片"},
        {kMedia, "ffmpeg_source", "local_file", false, "looping", nullptr, "视频"},
        {kSlideshow, "slideshow", "files", false, "loop", "slide_mode", "图片组"},
    };
    return kinds;
}

const char* SourceKinds::inputAudioType() {
    return "wasapi_input_capture";
}

const char* SourceKinds::outputAudioType() {
    return "wasapi_output_capture";
}
