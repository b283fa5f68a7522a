#pragma once
// The free-play world's motion: gravity, boost, bounces, contacts and car-ball touches, in fixed
// ticks of game time. Physics integrates whatever it finds in the world each tick, so a plug-in
// that sets a location or a velocity every frame simply wins.

#include <cstdint>
#include <utility>
#include <vector>

#include "runtime/pitch.h"
#include "runtime/world.h"

namespace sim {

// The pitch is the runtime's, which sets up free play on it.
using runtime::kBackWallY;
using runtime::kBallRadius;
using runtime::kCarRestHeight;
using runtime::kCeilingZ;
using runtime::kSideWallX;

inline constexpr float kGravity = -650; // world units per second², along z

inline constexpr float kBallMaxSpeed = 6000;
inline constexpr float kBallMaxSpin = 6;        // radians per second
inline constexpr float kBallRestitution = 0.6f; // share of the speed into a surface kept after a bounce

inline constexpr float kCarMaxSpeed = 2300;
inline constexpr float kAirBoost = 1058.33f; // world units per second², along the car's nose
inline constexpr float kJumpSpeed = 291.67f;
inline constexpr float kCarMaxTurnRate = 5.5f;    // radians per second, each axis
inline constexpr float kCarTurnAcceleration = 24; // radians per second², each axis, while steering
inline constexpr float kCarGroundBraking = 1400;  // world units per second², horizontal, on the ground

inline constexpr float kTouchReach = kBallRadius + 60; // car centre to ball centre, inclusive, for a touch

inline constexpr int kTicksPerSecond = 120;
inline constexpr double kTickSeconds = 1.0 / kTicksPerSecond;

// Angular velocities are radians per second with x the roll rate, y the pitch rate and z the yaw
// rate; rotations are in the host's units, 65536 to the turn.
inline constexpr double kRotatorUnitsPerRadian = 32768.0 / 3.14159265358979323846;

// What the player asks of the player's car (element 0 of the car list). Other cars get no input.
struct CarInput {
    bool boost = false;  // push along the nose this tick
    bool jump = false;   // leave the ground or wall at the next tick that finds the car on one; then cleared
    bool steer = false;  // turn rates below are wanted; false leaves the car's spin as it is
    float pitchRate = 0; // wanted pitch rate, radians per second (steer only)
    float yawRate = 0;   // wanted yaw rate
    float rollRate = 0;  // wanted roll rate
};

// What physics carries from tick to tick besides the world. Lives as long as the world it steps.
struct PhysicsState {
    double pending = 0; // game seconds handed to stepPhysics and not yet ticked; below one tick
    CarInput input;     // the player's car's input; set by the player (or the autopilot) before a step
    std::vector<std::pair<uint32_t, uint32_t>> touching; // (car id, ball id) in reach at the last tick, sorted
    // A tick's own working lists, kept between ticks only so that a steady tick allocates nothing;
    // what they point to is stale once the tick has ended.
    std::vector<runtime::Actor*> cars;
    std::vector<runtime::Actor*> balls;
    std::vector<std::pair<uint32_t, uint32_t>> nextTouching;
};

struct PhysicsEvents {
    int touches = 0; // new car-ball touches; each is one ball-hit event for the host to fire
};

// Advances the world by `seconds` of game time in whole ticks, carrying the remainder to the next
// call. At most one minute is stepped per call; more, or a non-finite or negative time, is dropped.
// Adds the new touches to `events`. Does not move the clock: the caller owns it.
void stepPhysics(runtime::World& world, PhysicsState& state, double seconds, PhysicsEvents& events);

// One tick of kTickSeconds: moves every ball and car, decides each car's contact and counts new
// touches. Every location stays inside the pitch and every speed within its limit. Its work grows
// with the cars times the balls, not more.
void tickPhysics(runtime::World& world, PhysicsState& state, PhysicsEvents& events);

// The unit vector along a car's nose for a rotation (roll does not move it).
Vector noseOf(const Rotator& rotation);

} // namespace sim
