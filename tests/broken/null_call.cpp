// Moves the camera on every drawn frame without asking whether there is one.

#include "tests/broken/plugin_module.h"

struct NullCall : broken::Plugin {
    void onLoad() override
    {
        gameWrapperHandle->RegisterDrawable([this](const CanvasWrapper&) {
            gameWrapperHandle->GetCamera().SetLocation({0, 0, 500});
        });
    }
};

BROKEN_PLUGIN_MODULE(NullCall, BAKKESMOD_PLUGIN_API_VERSION);
