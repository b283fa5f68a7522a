// Keeps the player's car from every drawn frame, one more wrapper each frame, past the callback
// that obtained it.

#include <vector>

#include "tests/broken/plugin_module.h"

struct KeepsWrapper : broken::Plugin {
    void onLoad() override
    {
        gameWrapperHandle->RegisterDrawable(
            [this](const CanvasWrapper&) { kept.push_back(gameWrapperHandle->GetLocalCar()); });
    }

    std::vector<CarWrapper> kept; // one per drawn frame; released only with the object
};

BROKEN_PLUGIN_MODULE(KeepsWrapper, BAKKESMOD_PLUGIN_API_VERSION);
