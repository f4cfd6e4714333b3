#include "frontend/SourceKinds.h"

#include <QtGlobal>

// Linux engine types. The screen list holds integers (screen numbers); a window is picked
// by the text "XID\r\ntitle\r\nclass".
const std::vector<SourceKind>& SourceKinds::table() {
    static const std::vector<SourceKind> kinds = {
        {kCamera, "v4l2_input", "device_id", true, nullptr, nullptr,
         QT_TRANSLATE_NOOP("SourceKinds", "相机")},
        {kMonitor, "xshm_input", "screen", true, "show_cursor", nullptr,
         QT_TRANSLATE_NOOP("SourceKinds", "桌面")},
        {kWindow, "xcomposite_input", "capture_window", true, "show_cursor", nullptr,
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
    return "pulse_input_capture";
}

const char* SourceKinds::outputAudioType() {
    return "pulse_output_capture";
}
