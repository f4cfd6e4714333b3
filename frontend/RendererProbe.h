#pragma once

#include <QString>

// Which renderer the engine composes with. A machine without a graphics card composes on the
// processor (a software rasteriser), where some of the engine's defaults cost more than they
// save.
class RendererProbe {
public:
    // The engine's renderer as its graphics driver names it; empty before the engine's video
    // is set up.
    static QString rendererName();
    static bool isSoftware(const QString& rendererName);
};
