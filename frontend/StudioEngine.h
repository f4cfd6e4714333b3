#pragma once

#include <QString>

#include <util/config-file.h>

// The engine's life: start-up on an X display, audio and video set-up, shutdown.
class StudioEngine {
public:
    StudioEngine() = default;
    ~StudioEngine();
    StudioEngine(const StudioEngine&) = delete;
    StudioEngine& operator=(const StudioEngine&) = delete;

    // Starts the engine on `display` (an Xlib Display* on X11, unused on Windows); false when
    // it cannot start.
    bool start(void* display, const QString& locale, const QString& moduleConfigPath);
    void stop();
    bool running() const { return running_; }

    // Both need the engine running and no output active.
    static bool resetAudio(config_t* profile);
    // One of the engine's OBS_VIDEO_* results; OBS_VIDEO_SUCCESS is 0.
    static int resetVideo(config_t* profile);

private:
    enum class Renderer { Unknown, Software, Hardware };
    // The renderer does not change while the program runs.
    static inline Renderer softwareRenderer_ = Renderer::Unknown;
    bool running_ = false;
};
