#pragma once
// The Qt application of the fuzz entry points that draw, measure or open
// windows: made on the first input, on the offscreen platform, and never
// destroyed (as the test programs' one application).

#include "tests/platform/gfx/TestApplication.h"

#include <cstdlib>

// Makes the application, of type App, on the first call; returns true
// then (and only then), so that the caller sets up the rest of its world
// once.
template <class App>
bool StartOffscreenApplication() {
    static bool started = false;
    if (started)
        return false;
    started = true;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    MakeTestApplication<App>();
    return true;
}
