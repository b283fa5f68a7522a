// Never returns from its drawable: the validator must give up on it, not wait forever.

#include <chrono>
#include <thread>

#include "tests/broken/plugin_module.h"

struct Hangs : broken::Plugin {
    void onLoad() override
    {
        gameWrapperHandle->RegisterDrawable([](const CanvasWrapper&) {
            for (;;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
};

BROKEN_PLUGIN_MODULE(Hangs, BAKKESMOD_PLUGIN_API_VERSION);
