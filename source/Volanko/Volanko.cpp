#include "Volanko/Volanko.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

struct CvarSpec {
    const char* name;
    const char* defaultValue;
    const char* description;
    bool searchable;
    bool hasMin;
    float min;
    bool hasMax;
    float max;
};

constexpr CvarSpec kCvars[] = {
    {"volanko_balllocation_x", "(-5000, 5000)", "Where should the ball spawn on the x axis?", true, true, -5000, true,
     5000},
    {"volanko_balllocation_y", "(-4000, 4000)", "Where should the ball spawn on the y axis?", true, true, -4000, true,
     4000},
    {"volanko_balllocation_z", "(100, 1900)", "How height should the ball spawn?", true, true, 100, true, 1900},
    {"volanko_throwplayer", "1", "Throws the player through the air?", true, true, 0, true, 1},
    {"volanko_throwlevel", "beginner", "How hard you get thrown around", false, false, 0, false, 0},
};

} // namespace

void Volanko::onLoad()
{
    gameWrapperHandle->HookEvent(kBallHitEvent, [this](std::string eventName) { onBallHit(std::move(eventName)); });
    for (const CvarSpec& cvar : kCvars) {
        cvarManagerHandle->registerCvar(cvar.name, cvar.defaultValue, cvar.description, cvar.searchable, cvar.hasMin,
                                        cvar.min, cvar.hasMax, cvar.max, true);
    }
    gameWrapperHandle->RegisterDrawable([this](CanvasWrapper canvas) { renderHud(std::move(canvas)); });
    cvarManagerHandle->registerNotifier(
        "volanko_start", [this](const std::vector<std::string>&) { startCommand(); }, "Starts the volanko.", 4);
    cvarManagerHandle->registerNotifier(
        "volanko_stop", [this](const std::vector<std::string>&) { stopCommand(); }, "Stops the recovery plugin.", 0);
}

bool Volanko::drillGuard() const
{
    return gameWrapperHandle->IsInFreeplay() && active;
}

void Volanko::startCommand()
{
    if (!gameWrapperHandle->IsInFreeplay()) {
        cvarManagerHandle->log("You need to be in freeplay to use this plugin.");
        return;
    }
    active = true;
}

void Volanko::stopCommand()
{
    active = false;
}

// The host hands the event name over by value; it is not needed here.
void Volanko::onBallHit(std::string /*eventName*/) // NOLINT(performance-unnecessary-value-param)
{
    if (!drillGuard()) {
        return;
    }
    resetAndThrow();
    // A streak that reached the top stays there rather than wrapping to the most negative value.
    if (currentStreak < std::numeric_limits<int32_t>::max()) {
        ++currentStreak;
    }
    bestStreak = std::max(bestStreak, currentStreak);
}
