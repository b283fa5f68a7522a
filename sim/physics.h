#pragma once
// The free-play world's motion with the game's published figures: gravity, the car driven by its
// controller (throttle, boost, jumps, air control), the car's body as an oriented box against the
// pitch's planes and the ball, and the ball's bounces, in fixed ticks of game time. Physics
// integrates whatever it finds in the world each tick, so a plug-in that sets a location, a
// velocity or a rotation every frame simply wins.
//
// Units: world units, seconds, radians. Angular velocities are world-axis vectors (radians per
// second, the right-hand rule about each axis); rotations are in the host's units.

#include <cstdint>
#include <utility>
#include <vector>

#include "runtime/pitch.h"
#include "runtime/world.h"
#include "sim/car_body.h"
#include "sim/controls.h"

namespace sim {

// The pitch is the runtime's, which sets up free play on it.
using runtime::kBackWallY;
using runtime::kBallRadius;
using runtime::kBallRestHeight;
using runtime::kCarRestHeight;
using runtime::kCeilingZ;
using runtime::kSideWallX;

inline constexpr float kGravity = -650; // along z

inline constexpr float kBallMaxSpeed = 6000;
inline constexpr float kBallMaxSpin = 6;
inline constexpr float kBallRestitution = 0.6f; // share of the speed into a surface kept after a bounce
inline constexpr float kBallDrag = 0.0305f;     // per second: the velocity is scaled by 1 - this * dt each tick

inline constexpr float kCarMaxSpeed = 2300;      // whatever drives it
inline constexpr float kThrottleMaxSpeed = 1410; // throttle alone
inline constexpr float kBrakingAcceleration = 3500;
inline constexpr float kCoastingAcceleration = 525;
inline constexpr float kGroundBoost = 991.667f; // along the nose
inline constexpr float kAirBoost = 1058.333f;   // along the nose; the air throttle included
inline constexpr float kAirThrottle = 66.667f;  // along the nose, at full throttle
inline constexpr float kJumpImpulse = 291.667f; // a speed along the car's up, at the press
inline constexpr float kJumpHoldAcceleration = 1458.333f;
inline constexpr float kJumpHoldSeconds = 0.2f;
inline constexpr float kSecondJumpWindow = 1.25f; // seconds after the first jump's end
inline constexpr float kCarMaxSpin = 5.5f;

// Air control, angular accelerations about the car's forward, left and up axes: an input's push
// and the damping of the spin about that axis. Signs follow the controls' (a positive pitch lifts
// the nose, that is a negative turn about left; a positive yaw turns it right, a negative turn
// about up; a positive roll turns it to the right, a positive turn about forward).
inline constexpr float kRollTorque = 36.0796f;
inline constexpr float kRollDamping = 4.4717f;
inline constexpr float kPitchTorque = 12.1460f;
inline constexpr float kPitchDamping = 2.7982f; // scaled by 1 - abs(pitch input)
inline constexpr float kYawTorque = 8.9196f;
inline constexpr float kYawDamping = 1.8865f; // scaled by 1 - abs(yaw input)

inline constexpr int kTicksPerSecond = 120;
inline constexpr double kTickSeconds = 1.0 / kTicksPerSecond;

// The throttle's acceleration along the nose at forward speed `speed` (its size), on the wheels.
float throttleAcceleration(float speed);
// The ball's velocity gain on a touch, as a share of the relative speed `relative` (already
// capped at 4600): 0.65 up to 500, down to 0.55 at 2300 and 0.30 at 4600.
float hitScale(float relative);

// What physics keeps of each actor besides the world, by id.
struct Body {
    uint32_t id = 0;
    Frame frame;       // the axes the rotation stands for, unrounded
    Rotator written{}; // the rotation physics last wrote: any other was set from outside
    // Cars only: the jumps since the wheels last left a surface.
    bool jumped = false;      // the first jump was made
    bool holding = false;     // its hold is still under way
    bool airJumped = false;   // the second (or, having left a surface without jumping, the one) air jump is spent
    float holdSeconds = 0;    // since the first jump's press, while held
    float sinceJumpEnd = 0;   // seconds since the first jump's hold ended
    bool jumpWasDown = false; // the jump button at the tick before: a press is its change
};

// Sees, and may change, the player's car's controls at each tick, just before they move it (only
// while the car list has a player's car): a recording notes them, a re-simulation puts the
// recorded ones in their place. Called from within stepPhysics; it must not touch the world.
class ControlsTap {
public:
    // `tick`: the ticks stepped before this one by the PhysicsState that calls.
    virtual void atTick(int64_t tick, Controls& controls) = 0;

protected:
    ~ControlsTap() = default;
};

// What physics carries from tick to tick besides the world. Lives as long as the world it steps.
struct PhysicsState {
    int64_t ticks = 0;          // ticks stepped so far
    ControlsTap* tap = nullptr; // must outlive its use here
    double pending = 0;         // game seconds handed to stepPhysics and not yet ticked; below one tick
    // The controls of each car, by its place in the car list; a car without an entry is at rest.
    // The autopilot, scripts and the console set them before a step; they hold until changed.
    std::vector<Controls> controls;
    // Controls for the player's car that take the place of controls[0] for this many more ticks.
    Controls held;
    int64_t heldTicks = 0;
    std::vector<Body> bodies;                            // sorted by id
    std::vector<std::pair<uint32_t, uint32_t>> touching; // (car id, ball id) in contact at the last tick, sorted
    // A tick's own working lists, kept between ticks only so that a steady tick allocates nothing;
    // what they point to is stale once the tick has ended.
    std::vector<runtime::Actor*> cars;
    std::vector<runtime::Actor*> balls;
    std::vector<std::pair<uint32_t, uint32_t>> nextTouching;
    std::vector<Body> nextBodies;
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

// The controls car `index` of the car list gets at the next tick.
Controls controlsAt(const PhysicsState& state, size_t index);

} // namespace sim
