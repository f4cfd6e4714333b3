// The studio's scene collection loader, on an engine started on the X display without video
// or modules (scenes need no more; other sources load as the engine's placeholders).
#include <obs.h>

#include "frontend/SceneCollection.h"
#include "frontend/StudioEngine.h"
#include "fuzz/FuzzTarget.h"

// Last: Xlib's macros clash with Qt's headers.
#include <X11/Xlib.h>

ORB_FUZZ_TARGET(scenes) {
    static StudioEngine engine;
    static const bool started = [] {
        Display* display = XOpenDisplay(nullptr);
        return display && engine.start(display, QStringLiteral("en-US"), QString());
    }();
    if (!started) {
        return 0;
    }
    const QByteArray text = fuzz::bytes(data, size);  // NUL-terminated copy
    OBSDataAutoRelease document = obs_data_create_from_json(text.constData());
    if (!document) {
        return 0;
    }
    SceneCollection collection;
    if (collection.load(document)) {
        collection.names();
        OBSDataAutoRelease again = collection.save();
    }
    collection.clear();
    return 0;
}
