// Its drawable throws on every frame.

#include <stdexcept>

#include "tests/broken/plugin_module.h"

struct Throws : broken::Plugin {
    void onLoad() override
    {
        gameWrapperHandle->RegisterDrawable(
            [](const CanvasWrapper&) { throw std::runtime_error("the broken drawable gave up"); });
    }
};

BROKEN_PLUGIN_MODULE(Throws, BAKKESMOD_PLUGIN_API_VERSION);
