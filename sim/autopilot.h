#pragma once
// A player for the player's car that plays like a decent human, through the controller alone: it
// waits a moment after landing and jumps (holding the button for a higher one), reacts to every
// reset after a reaction delay, then points the car's nose with pitch, yaw and roll towards where
// the ball will be and boosts, with an aim error that it corrects as it closes in. Skill (0..1)
// shortens the delays, quickens the turning and shrinks the errors.

#include <cstdint>
#include <random>

#include "runtime/world.h"
#include "sim/physics.h"

namespace sim {

// A way to go, in doubles: the difference of two float locations, kept as it came.
struct Way {
    double x, y, z;
};

// The share of the air boost a steady push may ask: the rest is kept for corrections.
inline constexpr double kPushShare = 0.9;

struct SteadyPush {
    Vector push;    // the acceleration asked beyond gravity's, world units per second squared
    double seconds; // how long it takes at that push
    bool reached;   // within kPushShare of the air boost; else the search's step asking the least
};

// The steady push that brings a car at `velocity` (world units per second) to `toAim` (world
// units) soonest within kPushShare of the air boost, gravity held off: over T seconds, r = v T + (a + g) T² / 2.
// T is searched by quarters of a second from 0.1 s to 6 s, then by twentieths within the 0.2 s
// before the first quarter that reaches. Allocates nothing.
SteadyPush steadyPush(const Way& toAim, const Vector& velocity);

class Autopilot {
public:
    Autopilot(uint64_t seed, double skill);

    // Looks at the world as a player sees the screen at game time `now` and sets the controls for
    // the next frame. Allocates nothing.
    void act(const runtime::World& world, double now, Controls& controls);

    double skill() const { return skill_; }

private:
    double unit(); // uniform in [0, 1)
    double between(double low, double high) { return low + (high - low) * unit(); }
    void surprised(double now, const runtime::Actor& car); // the ball or the car jumped: react again after a delay

    std::mt19937_64 random_;
    double skill_; // 0 (hopeless) .. 1 (sharp)

    bool seen_ = false;      // the fields below describe the last frame looked at
    double lastTime_ = 0;    // game seconds
    Vector lastCar_;         // car location
    Vector lastCarVelocity_; // car velocity, to tell a teleport from flight
    Vector lastBall_;        // ball location; meaningful with hadBall_
    bool hadBall_ = false;   // a ball was in the game
    double reactAt_ = 0;     // game seconds from which the player acts on the latest reset
    double jumpAt_ = -1;     // game seconds of the next jump from the ground; < 0 when none planned
    double jumpUntil_ = -1;  // game seconds until which the jump button is held
    Vector aimOffset_;       // where the player thinks the ball is, relative to it, at aimSince_
    double aimSince_ = 0;    // game seconds
    double settleRate_ = 1;  // per second: how fast the aim error is corrected
    double wobblePitch_ = 0; // radians of steady error in the wanted nose direction
    double wobbleYaw_ = 0;   // the same across
    double boostDebt_ = 0;   // boost wanted and not yet given, in frames; feathering
};

} // namespace sim
