#include "sim/autopilot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "sim/angles.h"
#include "sim/vector3.h"

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kSurpriseDistance = 150; // a jump beyond the expected motion this large is a reset

// The air-control input on one axis that gives angular acceleration `alpha` against spin `spin`
// about it: the inverse of the measured model, its damping taken at full.
float axisInput(double alpha, double spin, float torque, float damping)
{
    return axisValue(static_cast<float>((alpha + damping * spin) / torque));
}

// A step of the search: t seconds with its 2 / t², which a frame would otherwise divide out two
// dozen times.
struct SearchStep {
    double t;
    double scale; // 2 / t²: the push asked per unit of the way left to go
};
constexpr SearchStep searchStep(double t)
{
    return {t, 2 / (t * t)};
}

// The coarse steps, seconds from 0.1 by quarters up to 6.
constexpr auto kCoarseSteps = [] {
    std::array<SearchStep, 24> steps{};
    double t = 0.1;
    for (SearchStep& step : steps) {
        step = searchStep(t);
        t += 0.25;
    }
    return steps;
}();
static_assert(kCoarseSteps.back().t <= 6.0 && kCoarseSteps.back().t + 0.25 > 6.0);

// Within the coarse step where a push is found (all but the first), the finer ones before it:
// from 0.2 s before it by twentieths.
struct FineSteps {
    std::array<SearchStep, 5> steps;
    size_t count;
};
constexpr auto kFineSteps = [] {
    std::array<FineSteps, kCoarseSteps.size()> all{};
    for (size_t i = 1; i < kCoarseSteps.size(); ++i) {
        const double found = kCoarseSteps[i].t;
        for (double t = found - 0.2; t < found; t += 0.05) {
            all[i].steps[all[i].count++] = searchStep(t);
        }
    }
    return all;
}();

double wrapRadians(double angle)
{
    angle = std::fmod(angle + kPi, 2 * kPi);
    if (angle < 0) {
        angle += 2 * kPi;
    }
    return angle - kPi;
}

} // namespace

SteadyPush steadyPush(const Way& toAim, const Vector& velocity)
{
    // With r the aim from the car, the way left after T seconds is D(T) = r - v T - g T² / 2 and
    // the push asked D(T) 2 / T²: its size squared is |D(T)|² (2 / T²)², where |D(T)|² is a
    // quartic in T that is worked out once, so that each step of the search is a few products.
    const double rx = toAim.x;
    const double ry = toAim.y;
    const double rz = toAim.z;
    const double vx = velocity.x;
    const double vy = velocity.y;
    const double vz = velocity.z;
    const double h = 0.5 * kGravity; // along z
    const double c0 = rx * rx + ry * ry + rz * rz;
    const double c1 = -2 * (rx * vx + ry * vy + rz * vz);
    const double c2 = vx * vx + vy * vy + vz * vz - 2 * rz * h;
    const double c3 = 2 * vz * h;
    const double c4 = h * h;
    const auto asked2 = [&](const SearchStep& step) { // the push's size, squared
        const double t = step.t;
        return (c0 + t * (c1 + t * (c2 + t * (c3 + t * c4)))) * (step.scale * step.scale);
    };
    // In steps of a quarter second, then of a twentieth within the step where it is found.
    constexpr double kWithin = kPushShare * kPushShare * kAirBoost * kAirBoost; // squared
    size_t at = 0;
    double least = std::numeric_limits<double>::infinity();
    bool found = false;
    for (size_t i = 0; i < kCoarseSteps.size(); ++i) {
        const double size2 = asked2(kCoarseSteps[i]);
        if (size2 < least) {
            least = size2;
            at = i;
        }
        if (size2 <= kWithin) {
            found = true;
            break;
        }
    }
    SearchStep chosen = kCoarseSteps[at];
    if (found) {
        const FineSteps& fine = kFineSteps[at];
        for (size_t j = 0; j < fine.count; ++j) {
            if (asked2(fine.steps[j]) <= kWithin) {
                chosen = fine.steps[j];
                break;
            }
        }
    }
    return {{static_cast<float>((rx - vx * chosen.t) * chosen.scale),
             static_cast<float>((ry - vy * chosen.t) * chosen.scale),
             static_cast<float>((rz - vz * chosen.t) * chosen.scale - kGravity)},
            chosen.t,
            found};
}

Autopilot::Autopilot(uint64_t seed, double skill)
    : random_(seed ^ 0x9e3779b97f4a7c15ULL), skill_(std::isfinite(skill) ? std::clamp(skill, 0.0, 1.0) : 0.6)
{
}

double Autopilot::unit()
{
    return static_cast<double>(random_() >> 11) * 0x1.0p-53;
}

void Autopilot::surprised(double now, const runtime::Actor& car)
{
    const double sloth = 1 - skill_;
    // A car thrown fast, tumbling or spinning takes longer to read and is judged worse.
    const double spin = lengthOf(car.angularVelocity);
    const double tilt = std::fabs(car.rotation.pitch / kRotatorUnitsPerRadian) +
                        std::fabs(wrapRadians(car.rotation.roll / kRotatorUnitsPerRadian));
    const double confusion = 1 + 0.5 * spin + 0.6 * tilt + lengthOf(car.velocity) / 1500;
    reactAt_ = now + (0.12 + 0.5 * sloth) * confusion * between(0.7, 1.5);
    // A misjudged spot, off in a random direction, that the eye corrects while closing in.
    const double size = (60 + 700 * sloth) * confusion * between(0.2, 1.4);
    const double heading = between(0, 2 * kPi);
    const double rise = between(-0.5, 0.5);
    double sh = 0, ch = 0;
    sinCos(heading, sh, ch);
    aimOffset_ = {static_cast<float>(size * ch), static_cast<float>(size * sh), static_cast<float>(size * rise)};
    aimSince_ = now;
    settleRate_ = (0.4 + 1.8 * skill_) * between(0.6, 1.4);
    wobblePitch_ = between(-1, 1) * 0.25 * sloth;
    wobbleYaw_ = between(-1, 1) * 0.25 * sloth;
    boostDebt_ = 0;
}

void Autopilot::act(const runtime::World& world, double now, Controls& controls)
{
    const runtime::Actor* car = world.car();
    const runtime::Actor* ball = world.ball();
    controls = {};
    if (!car) {
        seen_ = false;
        return;
    }

    if (seen_) {
        const auto dt = static_cast<float>(now - lastTime_);
        const Vector expected{lastCar_.x + lastCarVelocity_.x * dt, lastCar_.y + lastCarVelocity_.y * dt,
                              lastCar_.z + lastCarVelocity_.z * dt};
        const bool carJumped = lengthOf({car->location.x - expected.x, car->location.y - expected.y,
                                         car->location.z - expected.z}) > kSurpriseDistance;
        const bool ballJumped =
            ball && (!hadBall_ || lengthOf({ball->location.x - lastBall_.x, ball->location.y - lastBall_.y,
                                            ball->location.z - lastBall_.z}) > kSurpriseDistance);
        if (carJumped || ballJumped) {
            surprised(now, *car);
        }
    } else {
        surprised(now, *car);
    }
    seen_ = true;
    lastTime_ = now;
    lastCar_ = car->location;
    lastCarVelocity_ = car->velocity;
    hadBall_ = ball != nullptr;
    if (ball) {
        lastBall_ = ball->location;
    }

    if (car->contact != runtime::Contact::Air) {
        // Settles for a moment after landing, then jumps to begin the next run, holding the button
        // for a higher one.
        if (jumpAt_ < 0) {
            jumpAt_ = now + (0.35 + 1.2 * (1 - skill_)) * between(0.6, 1.6);
        }
        if (now >= jumpAt_) {
            controls.jump = true;
            jumpAt_ = -1;
            jumpUntil_ = now + kJumpHoldSeconds;
        }
        return;
    }
    jumpAt_ = -1;
    controls.jump = now < jumpUntil_;
    controls.throttle = 1;
    if (!ball || now < reactAt_) {
        return;
    }

    // Where the ball will be by the time the car gets there, as the player judges it.
    const Vector toBall{ball->location.x - car->location.x, ball->location.y - car->location.y,
                        ball->location.z - car->location.z};
    const double eta = std::min(3.0, static_cast<double>(lengthOf(toBall)) /
                                         std::max(800.0, static_cast<double>(lengthOf(car->velocity))));
    const double settle = std::exp(-(now - aimSince_) * settleRate_);
    Vector aim{static_cast<float>(ball->location.x + ball->velocity.x * eta + aimOffset_.x * settle),
               static_cast<float>(ball->location.y + ball->velocity.y * eta + aimOffset_.y * settle),
               static_cast<float>(ball->location.z + ball->velocity.z * eta + 0.5 * kGravity * eta * eta +
                                  aimOffset_.z * settle)};
    // Comes in from above while far away: height is dear to win back, cheap to lose.
    const double dx = aim.x - car->location.x;
    const double dy = aim.y - car->location.y;
    const double across = std::sqrt(dx * dx + dy * dy);
    aim.z = static_cast<float>(std::max<double>(aim.z, kBallRadius) + std::min(500.0, 0.15 * across));

    const Vector best = steadyPush({dx, dy, aim.z - car->location.z}, car->velocity).push;
    const double ax = best.x;
    const double ay = best.y;
    const double az = best.z;
    const double push = std::sqrt(ax * ax + ay * ay + az * az);
    if (!(push > 1)) {
        return;
    }

    // Points the nose at the push it wants, keeping the roof up about it: a wanted spin towards
    // the aim, and the inputs that bring the car's spin to it.
    // The push's own pitch and heading, each turned by its wobble with the sum formulas.
    const double flat = std::sqrt(ax * ax + ay * ay); // the push's size across the ground
    const double cp0 = flat / push;
    const double sp0 = az / push;
    const double cy0 = flat > 0 ? ax / flat : 1;
    const double sy0 = flat > 0 ? ay / flat : 0;
    double sw = 0, cw = 1, sv = 0, cv = 1;
    sinCos(wobblePitch_ * settle, sw, cw);
    sinCos(wobbleYaw_ * settle, sv, cv);
    const double sp = sp0 * cw + cp0 * sw;
    const double cp = cp0 * cw - sp0 * sw;
    const double sy = sy0 * cv + cy0 * sv;
    const double cy = cy0 * cv - sy0 * sv;
    const Vector want{static_cast<float>(cp * cy), static_cast<float>(cp * sy), static_cast<float>(sp)};
    const Frame frame = frameOf(car->rotation);
    const Vector axis = cross(frame.forward, want);
    const auto angle =
        static_cast<float>(atan2Of(static_cast<double>(lengthOf(axis)), static_cast<double>(dot(frame.forward, want))));
    const Vector level = sim::unit(Vector{0, 0, 1} - frame.forward * frame.forward.z, frame.up);
    const auto rollError = static_cast<float>(atan2Of(static_cast<double>(dot(cross(frame.up, level), frame.forward)),
                                                      static_cast<double>(dot(frame.up, level))));
    const auto turnGain = static_cast<float>(3 + 3 * skill_);
    const auto maxRate = static_cast<float>(kCarMaxSpin * (0.55 + 0.45 * skill_));
    Vector wanted = sim::unit(axis, frame.up) * (angle * turnGain) + frame.forward * (rollError * 2);
    if (const float rate = lengthOf(wanted); rate > maxRate) {
        wanted = wanted * (maxRate / rate);
    }
    const auto response = static_cast<float>(6 + 8 * skill_); // per second: how fast the spin is brought to it
    const Vector alpha = frame.toLocal((wanted - car->angularVelocity) * response);
    const Vector spin = frame.toLocal(car->angularVelocity);
    controls.roll = axisInput(alpha.x, spin.x, kRollTorque, kRollDamping);
    controls.pitch = -axisInput(alpha.y, spin.y, kPitchTorque, kPitchDamping);
    controls.yaw = -axisInput(alpha.z, spin.z, kYawTorque, kYawDamping);

    // Boosts once the nose points roughly the right way.
    const Vector& nose = frame.forward;
    const double along = (nose.x * ax + nose.y * ay + nose.z * az) / push;
    // Feathers the boost to the push it wants.
    if (along > std::cos(0.9)) {
        boostDebt_ += std::min(1.0, push / kAirBoost);
    }
    controls.boost = boostDebt_ >= 0.5;
    if (controls.boost) {
        boostDebt_ -= 1;
    }
}

} // namespace sim
