#include "sim/physics.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

using runtime::Actor;
using runtime::Contact;

constexpr float kTick = static_cast<float>(kTickSeconds);
constexpr float kBallRestSpeed = 20;               // a bounce slower than this leaves the ball lying on the surface
constexpr float kBallRollBraking = 230;            // world units per second², while rolling on the ground
constexpr float kTouchPush = 1 + kBallRestitution; // the car is far heavier than the ball

// NaN falls to the lower bound, so nothing that is not finite survives.
float limit(float value, float low, float high)
{
    if (!(value >= low)) {
        return low;
    }
    return value > high ? high : value;
}

float lengthOf(const Vector& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// Each component first, so that the length itself cannot overflow.
Vector limitSpeed(Vector v, float max)
{
    v = {limit(v.x, -max, max), limit(v.y, -max, max), limit(v.z, -max, max)};
    const float length = lengthOf(v);
    if (length > max) {
        const float scale = max / length;
        v = {v.x * scale, v.y * scale, v.z * scale};
    }
    return v;
}

int32_t wrapAngle(int64_t angle)
{
    angle = ((angle + 32768) % 65536 + 65536) % 65536 - 32768;
    return static_cast<int32_t>(angle);
}

int64_t turnStep(float rate)
{
    return std::llround(static_cast<double>(rate) * kTickSeconds * kRotatorUnitsPerRadian);
}

// Over the top of a loop the pitch comes down again while yaw and roll flip round; the pitch rate
// flips with it so the turn carries on.
void rotate(Actor& actor)
{
    Vector& spin = actor.angularVelocity;
    int64_t pitch = static_cast<int64_t>(actor.rotation.pitch) + turnStep(spin.y);
    int64_t yaw = static_cast<int64_t>(actor.rotation.yaw) + turnStep(spin.z);
    int64_t roll = static_cast<int64_t>(actor.rotation.roll) + turnStep(spin.x);
    pitch = wrapAngle(pitch);
    if (pitch > 16384 || pitch < -16384) {
        pitch = (pitch > 0 ? 32768 : -32768) - pitch;
        yaw += 32768;
        roll += 32768;
        spin.y = -spin.y;
    }
    actor.rotation = {static_cast<int32_t>(pitch), wrapAngle(yaw), wrapAngle(roll)};
}

float approach(float value, float wanted, float step)
{
    if (value < wanted) {
        return std::min(value + step, wanted);
    }
    return std::max(value - step, wanted);
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

void tickBall(Actor& ball)
{
    Vector& v = ball.velocity;
    Vector& p = ball.location;
    v.z += kGravity * kTick;
    v = limitSpeed(v, kBallMaxSpeed);
    p = {p.x + v.x * kTick, p.y + v.y * kTick, p.z + v.z * kTick};

    // One axis at a time: the ball comes back inside and its speed into the surface turns round.
    const auto bounce = [](float& position, float& speed, float low, float high) {
        bool touched = false;
        if (!(position > low)) {
            position = low;
            if (speed < 0) {
                speed = -speed * kBallRestitution;
            }
            touched = true;
        } else if (position >= high) {
            position = high;
            if (speed > 0) {
                speed = -speed * kBallRestitution;
            }
            touched = true;
        }
        if (touched && std::fabs(speed) < kBallRestSpeed) {
            speed = 0;
        }
        return touched;
    };
    bounce(p.x, v.x, -kSideWallX + kBallRadius, kSideWallX - kBallRadius);
    bounce(p.y, v.y, -kBackWallY + kBallRadius, kBackWallY - kBallRadius);
    bounce(p.z, v.z, kBallRadius, kCeilingZ - kBallRadius);
    if (p.z <= kBallRadius && v.z == 0) {
        brakeHorizontally(v, kBallRollBraking);
        ball.angularVelocity = {ball.angularVelocity.x * 0.98f, ball.angularVelocity.y * 0.98f,
                                ball.angularVelocity.z * 0.98f};
    }
    ball.angularVelocity = limitSpeed(ball.angularVelocity, kBallMaxSpin);
    rotate(ball);
}

// The wall the car is against, as the inward normal; zero when none.
Vector wallNormal(const Vector& p)
{
    Vector normal;
    if (p.x >= kSideWallX - kCarRestHeight) {
        normal.x = -1;
    } else if (p.x <= -kSideWallX + kCarRestHeight) {
        normal.x = 1;
    }
    if (p.y >= kBackWallY - kCarRestHeight) {
        normal.y = -1;
    } else if (p.y <= -kBackWallY + kCarRestHeight) {
        normal.y = 1;
    }
    return normal;
}

void tickCar(Actor& car, CarInput* input)
{
    Vector& v = car.velocity;
    Vector& p = car.location;
    const Contact before = car.contact;
    if (input && input->jump && before != Contact::Air) {
        if (before == Contact::Ground) {
            v.z += kJumpSpeed;
        } else {
            const Vector normal = wallNormal(p);
            v = {v.x + normal.x * kJumpSpeed, v.y + normal.y * kJumpSpeed, v.z + kJumpSpeed};
        }
    }
    if (input) {
        input->jump = false;
        if (input->steer && before == Contact::Air) {
            const float step = kCarTurnAcceleration * kTick;
            Vector& spin = car.angularVelocity;
            spin.x = approach(spin.x, limit(input->rollRate, -kCarMaxTurnRate, kCarMaxTurnRate), step);
            spin.y = approach(spin.y, limit(input->pitchRate, -kCarMaxTurnRate, kCarMaxTurnRate), step);
            spin.z = approach(spin.z, limit(input->yawRate, -kCarMaxTurnRate, kCarMaxTurnRate), step);
        }
        if (input->boost) {
            const Vector nose = noseOf(car.rotation);
            v = {v.x + nose.x * kAirBoost * kTick, v.y + nose.y * kAirBoost * kTick, v.z + nose.z * kAirBoost * kTick};
        }
    }
    if (before == Contact::Ground) {
        brakeHorizontally(v, kCarGroundBraking);
    }
    v.z += kGravity * kTick;
    v = limitSpeed(v, kCarMaxSpeed);
    car.angularVelocity = limitSpeed(car.angularVelocity, kCarMaxTurnRate * 2);
    p = {p.x + v.x * kTick, p.y + v.y * kTick, p.z + v.z * kTick};

    // Kept inside the pitch; the speed into a wall, the ground or the ceiling stops there.
    bool onWall = false;
    const auto keepInside = [&onWall](float& position, float& speed, float reach) {
        if (!(position > -reach)) {
            position = -reach;
            speed = std::max(speed, 0.0f);
            onWall = true;
        } else if (position >= reach) {
            position = reach;
            speed = std::min(speed, 0.0f);
            onWall = true;
        }
    };
    keepInside(p.x, v.x, kSideWallX - kCarRestHeight);
    keepInside(p.y, v.y, kBackWallY - kCarRestHeight);
    bool onGround = false;
    if (!(p.z > kCarRestHeight)) {
        p.z = kCarRestHeight;
        v.z = std::max(v.z, 0.0f);
        onGround = v.z == 0;
    } else if (p.z >= kCeilingZ - kCarRestHeight) {
        p.z = kCeilingZ - kCarRestHeight;
        v.z = std::min(v.z, 0.0f);
    }
    rotate(car);
    if (onGround) {
        car.contact = Contact::Ground;
        // Wheels down: the car sits flat and stops turning.
        car.rotation.pitch = 0;
        car.rotation.roll = 0;
        car.angularVelocity = {};
    } else {
        car.contact = onWall ? Contact::Wall : Contact::Air;
    }
}

// The ball takes the car's approach speed along the line of centres, and some spin from the
// sideways part.
void push(const Actor& car, Actor& ball)
{
    Vector n{ball.location.x - car.location.x, ball.location.y - car.location.y, ball.location.z - car.location.z};
    const float distance = lengthOf(n);
    if (!(distance > 0)) {
        return;
    }
    n = {n.x / distance, n.y / distance, n.z / distance};
    const Vector relative{car.velocity.x - ball.velocity.x, car.velocity.y - ball.velocity.y,
                          car.velocity.z - ball.velocity.z};
    const float closing = relative.x * n.x + relative.y * n.y + relative.z * n.z;
    if (closing <= 0) {
        return;
    }
    Vector& v = ball.velocity;
    v = limitSpeed(
        {v.x + n.x * closing * kTouchPush, v.y + n.y * closing * kTouchPush, v.z + n.z * closing * kTouchPush},
        kBallMaxSpeed);
    const Vector side{relative.x - n.x * closing, relative.y - n.y * closing, relative.z - n.z * closing};
    const Vector spin{n.y * side.z - n.z * side.y, n.z * side.x - n.x * side.z, n.x * side.y - n.y * side.x};
    const float scale = 0.3f / kBallRadius;
    Vector& w = ball.angularVelocity;
    w = limitSpeed({w.x + spin.x * scale, w.y + spin.y * scale, w.z + spin.z * scale}, kBallMaxSpin);
}

float distanceBetween(const Vector& a, const Vector& b)
{
    return lengthOf({a.x - b.x, a.y - b.y, a.z - b.z});
}

} // namespace

Vector noseOf(const Rotator& rotation)
{
    const double pitch = rotation.pitch / kRotatorUnitsPerRadian;
    const double yaw = rotation.yaw / kRotatorUnitsPerRadian;
    return {static_cast<float>(std::cos(pitch) * std::cos(yaw)), static_cast<float>(std::cos(pitch) * std::sin(yaw)),
            static_cast<float>(std::sin(pitch))};
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
    for (Actor* ball : state.balls) {
        if (ball) {
            tickBall(*ball);
        }
    }
    for (size_t i = 0; i < state.cars.size(); ++i) {
        if (state.cars[i]) {
            tickCar(*state.cars[i], i == 0 ? &state.input : nullptr);
        }
    }

    // A touch begins when a car comes within reach of a ball and lasts until it leaves; pairs no
    // longer in reach, or whose car or ball is gone, drop out.
    state.nextTouching.clear();
    for (const Actor* car : state.cars) {
        for (Actor* ball : state.balls) {
            if (!car || !ball || !(distanceBetween(car->location, ball->location) <= kTouchReach)) {
                continue;
            }
            const std::pair pair{car->id, ball->id};
            state.nextTouching.push_back(pair);
            if (!std::binary_search(state.touching.begin(), state.touching.end(), pair)) {
                ++events.touches;
                push(*car, *ball);
            }
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
