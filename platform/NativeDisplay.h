#pragma once

// The windowing system connection the studio engine draws through.
class NativeDisplay {
public:
    // True when the program runs where the engine can draw: on X11 a connected X display
    // (Wayland and the offscreen platform are not); on Windows always.
    static bool available();
    // What the engine takes as its display: the Xlib Display* on X11; null on Windows,
    // where the engine needs none.
    static void* handle();
};
