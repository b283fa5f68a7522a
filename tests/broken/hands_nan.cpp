// Moves the ball to a location that is not a number on every ball hit.

#include <cmath>
#include <string>

#include "tests/broken/plugin_module.h"

struct HandsNan : broken::Plugin {
    void onLoad() override
    {
        gameWrapperHandle->HookEvent("Function TAGame.Car_TA.EventHitBall", [this](const std::string&) {
            gameWrapperHandle->GetGameEventAsServer().GetBall().SetLocation({std::nanf(""), 0, 0});
        });
    }
};

BROKEN_PLUGIN_MODULE(HandsNan, BAKKESMOD_PLUGIN_API_VERSION);
