#include "sim/physics.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "sim/vector3.h"

namespace sim {

namespace {

using runtime::Actor;
using runtime::Contact;

constexpr float kTick = static_cast<float>(kTickSeconds);
constexpr float kBallRestSpeed = 20;    // a bounce slower than this leaves the ball lying on the surface
constexpr float kBallRollBraking = 230; // while rolling on the ground
constexpr float kHitMaxRelativeSpeed = 4600;
// The car outweighs the ball six to one (180 to 30): a contact that stops the closing leaves the
// ball with this share of the closing speed.
constexpr float kContactShare = 180.0f / 210.0f;
// A spin slower than this (a turn in some two hours) is none: a damped spin would otherwise fall
// to the smallest float that the damping rounds back to itself, and stay there, a turn to compute
// on every tick, each in the processor's slow arithmetic for such tiny numbers.
constexpr float kSpinAtRest = 1e-3f;
constexpr float kTouchSpin = 0.3f; // share of the sliding speed across a touch that becomes the ball's surface speed
constexpr float kWheelsFacing = 0.7f;
// Farther than this from a surface, neither the box (whose corners are within 75 of its centre)
// nor the wheels (the origin within 22 of it, at rest 17.01 off the surface) can meet it.
constexpr float kCarReach = 100;           // the car's up along a surface's normal at least this: its wheels face it
constexpr float kHandbrakeSideGrip = 1.0f; // per second: what is left of the side grip under the handbrake

// The tightest turn on the ground at each forward speed: curvature in 1 / world units.
constexpr float kTurnSpeeds[] = {0, 500, 1000, 1500, 1750, 2300};
constexpr float kTurnCurvatures[] = {0.0069f, 0.00398f, 0.00235f, 0.001375f, 0.0011f, 0.00088f};

enum class SurfaceKind : uint8_t { Ground, Wall };

struct Plane {
    Vector point;
    Vector normal; // unit, into the pitch
    SurfaceKind kind;
};

// NaN falls to the lower bound, so nothing that is not finite survives.
float limit(float value, float low, float high)
{
    if (!(value >= low)) {
        return low;
    }
    return value > high ? high : value;
}

// Each component first, so that the length itself cannot overflow; the root only for a vector
// beyond the limit, since most ticks' are within it.
Vector limitSpeed(Vector v, float max)
{
    v = {limit(v.x, -max, max), limit(v.y, -max, max), limit(v.z, -max, max)};
    const float length2 = dot(v, v);
    return length2 > max * max ? v * (max / std::sqrt(length2)) : v;
}

// A spin within kCarMaxSpin or kBallMaxSpin (`max`), and none at all below kSpinAtRest.
Vector limitSpin(Vector spin, float max)
{
    spin = limitSpeed(spin, max);
    return std::fabs(spin.x) + std::fabs(spin.y) + std::fabs(spin.z) < kSpinAtRest ? Vector{0, 0, 0} : spin;
}

float interpolated(const float* xs, const float* ys, size_t count, float x)
{
    if (x <= xs[0]) {
        return ys[0];
    }
    for (size_t i = 1; i < count; ++i) {
        if (x <= xs[i]) {
            return ys[i - 1] + (ys[i] - ys[i - 1]) * (x - xs[i - 1]) / (xs[i] - xs[i - 1]);
        }
    }
    return ys[count - 1];
}

constexpr float kDiagonal = 0.70710678f;
// The surfaces every body can meet wherever it is: the ground, the ceiling, the side walls and the
// four corner planes.
constexpr Plane kOpenSurfaces[] = {
    {{0, 0, 0}, {0, 0, 1}, SurfaceKind::Ground},
    {{0, 0, runtime::kCeilingZ}, {0, 0, -1}, SurfaceKind::Wall},
    {{runtime::kSideWallX, 0, 0}, {-1, 0, 0}, SurfaceKind::Wall},
    {{-runtime::kSideWallX, 0, 0}, {1, 0, 0}, SurfaceKind::Wall},
    {{runtime::kCornerReach / 2, runtime::kCornerReach / 2, 0}, {-kDiagonal, -kDiagonal, 0}, SurfaceKind::Wall},
    {{runtime::kCornerReach / 2, -runtime::kCornerReach / 2, 0}, {-kDiagonal, kDiagonal, 0}, SurfaceKind::Wall},
    {{-runtime::kCornerReach / 2, runtime::kCornerReach / 2, 0}, {kDiagonal, -kDiagonal, 0}, SurfaceKind::Wall},
    {{-runtime::kCornerReach / 2, -runtime::kCornerReach / 2, 0}, {kDiagonal, kDiagonal, 0}, SurfaceKind::Wall},
};

// How far each open surface stands from the origin along its normal: a body's height above it is
// then its own distance along the normal less this, for the quick look at every surface each tick.
constexpr auto kOpenOffsets = [] {
    std::array<float, std::size(kOpenSurfaces)> offsets{};
    for (size_t i = 0; i < offsets.size(); ++i) {
        const Plane& plane = kOpenSurfaces[i];
        offsets[i] = plane.point.x * plane.normal.x + plane.point.y * plane.normal.y + plane.point.z * plane.normal.z;
    }
    return offsets;
}();

// Calls `meet` with each surface a body whose centre is at `p` is within `reach` of (or behind):
// those above, and the back wall where it is, or the goal's box where it opens.
template <class Meet> void forEachSurfaceNear(const Vector& p, float reach, Meet&& meet)
{
    using namespace runtime;
    const auto near = [&](const Plane& plane) {
        if (dot(p - plane.point, plane.normal) < reach) {
            meet(plane);
        }
    };
    for (size_t i = 0; i < std::size(kOpenSurfaces); ++i) {
        if (dot(p, kOpenSurfaces[i].normal) - kOpenOffsets[i] < reach) {
            meet(kOpenSurfaces[i]);
        }
    }
    const float side = p.y < 0 ? -1.0f : 1.0f;
    if (std::fabs(p.y) > kBackWallY) { // inside a goal
        near({{0, side * (kBackWallY + kGoalDepth), 0}, {0, -side, 0}, SurfaceKind::Wall});
        near({{kGoalHalfWidth, 0, 0}, {-1, 0, 0}, SurfaceKind::Wall});
        near({{-kGoalHalfWidth, 0, 0}, {1, 0, 0}, SurfaceKind::Wall});
        near({{0, 0, kGoalHeight}, {0, 0, -1}, SurfaceKind::Wall});
    } else if (!(std::fabs(p.x) < kGoalHalfWidth && p.z < kGoalHeight)) { // not in a goal's mouth
        near({{0, side * kBackWallY, 0}, {0, -side, 0}, SurfaceKind::Wall});
    }
}

// Slows the horizontal motion by `braking` over one tick, never reversing it.
void brakeHorizontally(Vector& v, float braking)
{
    const float speed = std::sqrt(v.x * v.x + v.y * v.y);
    if (speed <= braking * kTick) {
        v.x = 0;
        v.y = 0;
        return;
    }
    const float scale = (speed - braking * kTick) / speed;
    v.x *= scale;
    v.y *= scale;
}

// The body physics keeps for `actor`, the world's rotation read again when something else set it.
Body& bodyOf(PhysicsState& state, const Actor& actor)
{
    auto found = std::lower_bound(state.bodies.begin(), state.bodies.end(), actor.id,
                                  [](const Body& body, uint32_t id) { return body.id < id; });
    if (found == state.bodies.end() || found->id != actor.id) {
        Body body;
        body.id = actor.id;
        body.frame = frameOf(actor.rotation);
        body.written = actor.rotation;
        found = state.bodies.insert(found, body);
    }
    const Rotator& r = actor.rotation;
    if (r.pitch != found->written.pitch || r.yaw != found->written.yaw || r.roll != found->written.roll) {
        found->frame = frameOf(r);
        found->written = r;
    }
    return *found;
}

void writeRotation(Actor& actor, Body& body)
{
    actor.rotation = rotatorOf(body.frame);
    body.written = actor.rotation;
}

bool sameFrame(const Frame& a, const Frame& b)
{
    const auto same = [](const Vector& u, const Vector& v) { return u.x == v.x && u.y == v.y && u.z == v.z; };
    return same(a.forward, b.forward) && same(a.left, b.left) && same(a.up, b.up);
}

void tickBall(Actor& ball, Body& body)
{
    Vector& v = ball.velocity;
    Vector& p = ball.location;
    v.z += kGravity * kTick;
    v = limitSpeed(v * (1 - kBallDrag * kTick), kBallMaxSpeed);
    p = p + v * kTick;

    bool resting = false;
    forEachSurfaceNear(p, kBallRestHeight, [&](const Plane& plane) {
        const float clearance = plane.kind == SurfaceKind::Ground ? kBallRestHeight : kBallRadius;
        const float height = dot(p - plane.point, plane.normal);
        if (!(height >= clearance)) {
            p = p + plane.normal * (clearance - height);
            const float into = dot(v, plane.normal);
            if (into < 0) {
                const float out = -into * kBallRestitution;
                v = v + plane.normal * (out < kBallRestSpeed ? -into : -into + out);
                resting = resting || (plane.kind == SurfaceKind::Ground && out < kBallRestSpeed);
            }
        }
    });
    if (resting || (p.z <= kBallRestHeight && v.z == 0)) {
        brakeHorizontally(v, kBallRollBraking);
        ball.angularVelocity = ball.angularVelocity * 0.98f;
    }
    ball.angularVelocity = limitSpin(ball.angularVelocity, kBallMaxSpin);
    if (ball.angularVelocity.x != 0 || ball.angularVelocity.y != 0 || ball.angularVelocity.z != 0) {
        body.frame = turned(body.frame, ball.angularVelocity, kTick);
        writeRotation(ball, body);
    }
}

// Level on the ground with the same heading: the nose's own, or where the nose points straight
// down or up, the one the left side gives.
Frame levelled(const Frame& frame)
{
    Vector heading{frame.forward.x, frame.forward.y, 0};
    if (lengthOf(heading) < 1e-3f) {
        heading = cross(frame.left, {0, 0, 1});
    }
    Frame level;
    level.forward = unit(heading, {1, 0, 0});
    level.up = {0, 0, 1};
    level.left = cross(level.up, level.forward);
    return level;
}

// Returns whether the car left its surface with a jump at this tick.
bool jump(Body& body, const Controls& controls, bool onWheels, Vector& v)
{
    const bool press = controls.jump && !body.jumpWasDown;
    body.jumpWasDown = controls.jump;
    const Vector& up = body.frame.up;
    const bool leaves = press && onWheels;
    if (leaves) {
        v = v + up * kJumpImpulse;
        body.jumped = true;
        body.holding = true;
        body.holdSeconds = 0;
        body.airJumped = false;
        body.sinceJumpEnd = 0;
    } else if (press && !body.airJumped &&
               (!body.jumped || (!body.holding && body.sinceJumpEnd <= kSecondJumpWindow))) {
        v = v + up * kJumpImpulse;
        body.airJumped = true;
        body.holding = false;
    }
    if (body.holding) {
        if (controls.jump && body.holdSeconds < kJumpHoldSeconds) {
            v = v + up * (kJumpHoldAcceleration * kTick);
            body.holdSeconds += kTick;
        }
        if (!controls.jump || body.holdSeconds >= kJumpHoldSeconds - kTick / 2) {
            body.holding = false;
            body.sinceJumpEnd = 0;
        }
    } else if (body.jumped) {
        body.sinceJumpEnd += kTick;
    }
    return leaves;
}

// On the wheels on the ground: the throttle or boost along the nose, the grip across it, and the
// turn the steering and the speed give.
void drive(const Frame& frame, const Controls& controls, Vector& v, Vector& spin)
{
    float speed = dot(v, frame.forward);
    float across = dot(v, frame.left);
    float acceleration = 0;
    if (controls.boost) { // boost is full throttle forward, and more
        acceleration = kGroundBoost + (speed >= 0 ? throttleAcceleration(speed) : kBrakingAcceleration);
    } else if (controls.throttle != 0 && speed * controls.throttle >= 0) {
        acceleration = controls.throttle * throttleAcceleration(std::fabs(speed));
    } else {
        // Braking against the motion, or coasting with no throttle: never past a stop.
        const float slowing = controls.throttle != 0 ? kBrakingAcceleration : kCoastingAcceleration;
        acceleration = std::fabs(speed) <= slowing * kTick ? -speed / kTick : (speed > 0 ? -slowing : slowing);
    }
    speed = limit(speed + acceleration * kTick, -kCarMaxSpeed, kCarMaxSpeed);
    across = controls.handbrake ? across * (1 - kHandbrakeSideGrip * kTick) : 0;
    v = frame.forward * speed + frame.left * across;
    const float curvature = interpolated(kTurnSpeeds, kTurnCurvatures, std::size(kTurnSpeeds), std::fabs(speed));
    spin = frame.up * (-controls.steer * curvature * speed + 0.0f); // a right turn is clockwise from above; no -0
}

// In the air: the small air throttle or the boost along the nose, and the measured air control.
void fly(const Frame& frame, const Controls& controls, Vector& v, Vector& spin)
{
    const float push = controls.boost ? kAirBoost : kAirThrottle * controls.throttle;
    v = v + frame.forward * (push * kTick);
    const Vector w = frame.toLocal(spin);
    const Vector alpha{kRollTorque * controls.roll - kRollDamping * w.x,
                       -kPitchTorque * controls.pitch - kPitchDamping * w.y * (1 - std::fabs(controls.pitch)),
                       -kYawTorque * controls.yaw - kYawDamping * w.z * (1 - std::fabs(controls.yaw))};
    spin = spin + frame.toWorld(alpha) * kTick;
}

void tickCar(Actor& car, Body& body, const Controls& controls)
{
    Vector& v = car.velocity;
    Vector& p = car.location;
    Frame& frame = body.frame;
    // The contact is the last tick's: a car moved off the ground since (a throw) is in the air.
    const bool onGround = car.contact == Contact::Ground && p.z <= kCarRestHeight + 1;
    const bool leaves = jump(body, controls, onGround || car.contact == Contact::Wall, v);
    if (onGround && !leaves) {
        drive(frame, controls, v, car.angularVelocity);
    } else {
        fly(frame, controls, v, car.angularVelocity);
        v.z += kGravity * kTick;
    }
    v = limitSpeed(v, kCarMaxSpeed);
    car.angularVelocity = limitSpin(car.angularVelocity, kCarMaxSpin);
    p = p + v * kTick;
    const Frame before = frame;
    frame = turned(frame, car.angularVelocity, kTick);

    // The wheels meet a surface they face at the rest height; any other part of the box is pushed
    // out of it. Either way the speed into it stops there.
    bool wheelsOnGround = false;
    bool wheelsOnWall = false;
    bool bodyOnGround = false;
    forEachSurfaceNear(hitboxCentre(p, frame), kCarReach, [&](const Plane& plane) {
        const float height = dot(p - plane.point, plane.normal);
        bool met = false;
        // A hair of slack: far from the origin a float cannot hold the rest height exactly.
        if (dot(frame.up, plane.normal) >= kWheelsFacing && !(height > kCarRestHeight + 0.01f)) {
            p = p + plane.normal * (kCarRestHeight - height);
            (plane.kind == SurfaceKind::Ground ? wheelsOnGround : wheelsOnWall) = true;
            met = true;
        }
        if (const float depth = hitboxDepthBehind(p, frame, plane.point, plane.normal); depth > 0) {
            p = p + plane.normal * depth;
            bodyOnGround = bodyOnGround || plane.kind == SurfaceKind::Ground;
            met = true;
        }
        if (const float into = dot(v, plane.normal); met && into < 0) {
            v = v - plane.normal * into;
        }
    });
    if (wheelsOnGround || bodyOnGround) {
        // On its wheels, or its roof or side put back on them at once: level, heading kept.
        frame = levelled(frame);
        p.z = kCarRestHeight;
        v.z = 0;
        car.angularVelocity = {0, 0, car.angularVelocity.z};
        car.contact = Contact::Ground;
    } else {
        car.contact = wheelsOnWall ? Contact::Wall : Contact::Air;
    }
    if (car.contact != Contact::Air) {
        body.jumped = false;
        body.holding = false;
        body.airJumped = false;
    }
    // Only a turn or a levelling changes the frame; a car standing level keeps its rotation as written.
    if (!sameFrame(frame, before)) {
        writeRotation(car, body);
    }
}

// The contact itself leaves the ball the car's closing speed, shared by their weights, which parts
// them; a new touch adds the game's hit on top.
void contact(const Actor& car, const Frame& frame, Actor& ball, const Vector& nearest, bool newTouch)
{
    const Vector centre = hitboxCentre(car.location, frame);
    const Vector normal = unit(ball.location - nearest, unit(ball.location - centre, frame.up));
    Vector& v = ball.velocity;
    const Vector approach = car.velocity - v; // as they meet
    const float relative = std::min(lengthOf(approach), kHitMaxRelativeSpeed);
    const float closing = dot(approach, normal);
    if (closing > 0) {
        v = v + normal * (closing * kContactShare);
    }
    if (newTouch) {
        // The ball rolls off the car's face: spin from the sliding across the contact.
        const Vector across = approach - normal * closing;
        ball.angularVelocity =
            limitSpeed(ball.angularVelocity + cross(normal, across) * (kTouchSpin / kBallRadius), kBallMaxSpin);
        Vector n = ball.location - centre;
        n.z *= 0.35f;
        n = unit(n - frame.forward * (0.35f * dot(n, frame.forward)), frame.forward);
        v = v + n * (hitScale(relative) * relative);
    }
    v = limitSpeed(v, kBallMaxSpeed);
}

} // namespace

float throttleAcceleration(float speed)
{
    speed = std::fabs(speed);
    if (speed <= 1400) {
        return 1600 - (1600 - 160) * speed / 1400;
    }
    return speed < kThrottleMaxSpeed ? 160 * (kThrottleMaxSpeed - speed) / (kThrottleMaxSpeed - 1400) : 0;
}

float hitScale(float relative)
{
    constexpr float speeds[] = {0, 500, 2300, 4600};
    constexpr float scales[] = {0.65f, 0.65f, 0.55f, 0.30f};
    return interpolated(speeds, scales, std::size(speeds), relative);
}

Controls controlsAt(const PhysicsState& state, size_t index)
{
    if (index == 0 && state.heldTicks > 0) {
        return state.held;
    }
    return index < state.controls.size() ? sanitized(state.controls[index]) : Controls{};
}

void tickPhysics(runtime::World& world, PhysicsState& state, PhysicsEvents& events)
{
    // Each actor is looked up once: a look-up per pair of car and ball would multiply the work.
    const auto resolve = [&world](const std::vector<uint32_t>& ids, std::vector<Actor*>& actors) {
        actors.clear();
        for (const uint32_t id : ids) {
            actors.push_back(world.find(id));
        }
    };
    resolve(world.balls, state.balls);
    resolve(world.cars, state.cars);
    // Bodies of actors that are gone drop out; the rest keep their place, sorted by id.
    if (state.bodies.size() > state.balls.size() + state.cars.size()) {
        state.nextBodies.clear();
        for (const Body& body : state.bodies) {
            if (world.find(body.id)) {
                state.nextBodies.push_back(body);
            }
        }
        std::swap(state.bodies, state.nextBodies);
    }
    for (Actor* ball : state.balls) {
        if (ball) {
            tickBall(*ball, bodyOf(state, *ball));
        }
    }
    for (size_t i = 0; i < state.cars.size(); ++i) {
        if (state.cars[i]) {
            Controls controls = controlsAt(state, i);
            if (i == 0 && state.tap) {
                state.tap->atTick(state.ticks, controls);
                controls = sanitized(controls);
            }
            tickCar(*state.cars[i], bodyOf(state, *state.cars[i]), controls);
        }
    }
    if (state.heldTicks > 0) {
        --state.heldTicks;
    }
    ++state.ticks;

    // A touch begins when the ball's sphere meets a car's box and lasts until they part; pairs
    // no longer in contact, or whose car or ball is gone, drop out.
    state.nextTouching.clear();
    for (const Actor* car : state.cars) {
        if (!car) {
            continue;
        }
        // Looked up again rather than kept from the car's tick: a body made later in that loop
        // may have moved the list.
        const Frame& frame = bodyOf(state, *car).frame;
        for (Actor* ball : state.balls) {
            if (!ball) {
                continue;
            }
            const Vector nearest = nearestOnHitbox(car->location, frame, ball->location);
            if (const Vector gap = ball->location - nearest; !(dot(gap, gap) <= kBallRadius * kBallRadius)) {
                continue;
            }
            const std::pair pair{car->id, ball->id};
            state.nextTouching.push_back(pair);
            const bool fresh = !std::binary_search(state.touching.begin(), state.touching.end(), pair);
            events.touches += fresh ? 1 : 0;
            contact(*car, frame, *ball, nearest, fresh);
        }
    }
    std::sort(state.nextTouching.begin(), state.nextTouching.end());
    std::swap(state.touching, state.nextTouching);
}

void stepPhysics(runtime::World& world, PhysicsState& state, double seconds, PhysicsEvents& events)
{
    if (!(seconds >= 0) || seconds > 60) {
        return;
    }
    state.pending += seconds;
    // A hair of slack so that 1/fps steps add up to whole ticks despite rounding.
    while (state.pending + 1e-9 >= kTickSeconds) {
        state.pending -= kTickSeconds;
        tickPhysics(world, state, events);
    }
    if (state.pending < 0) {
        state.pending = 0;
    }
}

} // namespace sim
