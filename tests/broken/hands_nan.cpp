// Moves the ball to a location that is not a number on every ball hit.

#include <limits>
#include <string>

#include "plugin_module.h"

namespace {

class HandsNan : public BakkesMod::Plugin::BakkesModPlugin {
public:
    void onLoad() override
    {
        gameWrapperHandle->HookEvent("Function TAGame.Car_TA.EventHitBall", [this](const std::string&) {
            gameWrapperHandle->GetGameEventAsServer().GetBall().SetLocation(
                {std::numeric_limits<float>::quiet_NaN(), 0, 0});
        });
    }
};

} // namespace

BROKEN_PLUGIN_MODULE(HandsNan, BAKKESMOD_PLUGIN_API_VERSION);
