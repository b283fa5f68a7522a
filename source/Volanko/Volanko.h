#pragma once
// The drill: pins the ball at a spot drawn from console variables, throws the car towards it, and
// counts hits in a row until the car touches ground or wall again.
//
// Every entry is a host callback; the host calls them one at a time. Host wrappers are obtained
// inside a callback and released before it returns; the object owns no host object.

#include <cstdint>
#include <string>

#include "bakkesmod/plugin/bakkesmodplugin.h"

class Volanko final : public BakkesMod::Plugin::BakkesModPlugin {
public:
    void onLoad() override;

    void startCommand();                   // volanko_start: switches the drill on, in free play only
    void stopCommand();                    // volanko_stop: switches the drill off
    void onBallHit(std::string eventName); // a car hit the ball: next target, one more in the streak
    void resetAndThrow();                  // new ball target; car placed and thrown by the level
    void holdBallAndWatchCar();            // per frame: ball held still; take-off and landing watched
    void renderHud(CanvasWrapper canvas);  // per frame: the step above, then the overlay

    // Drill state. All zero when the object is made; nothing of it is saved.
    bool active = false;       // the player switched the drill on
    Vector ballTarget;         // where the ball is to hang, world units, unbounded
    float lastResetTime = 0;   // game seconds of the last reset; 0 until the first
    float averageTime = 0;     // running mean of the seconds between resets in this run
    int32_t currentStreak = 0; // hits since the run began; saturates at the largest int32
    int32_t bestStreak = 0;    // highest currentStreak seen; only grows
    bool airborne = false;     // the car left ground and walls and has not touched them since
    float failedUntil = 0;     // game seconds until which the "Failed!" banner shows

private:
    bool drillGuard() const; // in free play (asked first) and active
};
