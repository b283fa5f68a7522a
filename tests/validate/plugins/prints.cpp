// Writes report-like lines to standard output when it loads and on every frame, as if it could
// vouch for itself.

#include <cstdio>

#include "tests/broken/plugin_module.h"

struct Prints : broken::Plugin {
    void onLoad() override
    {
        std::puts("PASS everything");
        std::fflush(stdout);
        gameWrapperHandle->RegisterDrawable([](const CanvasWrapper&) { std::puts("0 passed, 0 failed"); });
    }
};

BROKEN_PLUGIN_MODULE(Prints, BAKKESMOD_PLUGIN_API_VERSION);
