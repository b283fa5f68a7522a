#include "world_motion.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kGravity = -650;
constexpr double kSideWall = 4096;
constexpr double kBackWall = 5120;
constexpr double kCeiling = 2044;
constexpr double kBallRadius = 91.25;
constexpr double kCarRestHeight = 17;
constexpr double kBallTopSpeed = 6000;
constexpr double kCarTopSpeed = 2300;
constexpr double kTouchReach = kBallRadius + 60;

// Scaled down to `top` when faster; computed in double so that 1e38 components do not overflow.
void limitSpeed(Vector& v, double top)
{
    const double x = v.x;
    const double y = v.y;
    const double z = v.z;
    const double speed = std::sqrt(x * x + y * y + z * z);
    if (speed > top) {
        const double scale = top / speed;
        v = {static_cast<float>(x * scale), static_cast<float>(y * scale), static_cast<float>(z * scale)};
    }
}

void move(host::Actor& actor, double seconds, double restHeight, double topSpeed)
{
    const bool onGround = actor.kind == host::ActorKind::Car && actor.contact == host::Contact::Ground;
    if (!onGround || actor.velocity.z > 0) {
        actor.velocity.z = static_cast<float>(actor.velocity.z + kGravity * seconds);
    }
    limitSpeed(actor.velocity, topSpeed);
    const double x = std::clamp(actor.location.x + actor.velocity.x * seconds, -kSideWall, kSideWall);
    const double y = std::clamp(actor.location.y + actor.velocity.y * seconds, -kBackWall, kBackWall);
    const double z = std::clamp(actor.location.z + actor.velocity.z * seconds, restHeight, kCeiling);
    actor.location = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    if (z <= restHeight && actor.velocity.z < 0) {
        actor.velocity.z = actor.kind == host::ActorKind::Ball ? -actor.velocity.z * 0.6f : 0.0f;
    }
    if (actor.kind == host::ActorKind::Car) {
        if (z <= restHeight) {
            actor.contact = host::Contact::Ground;
        } else if (std::abs(x) >= kSideWall || std::abs(y) >= kBackWall) {
            actor.contact = host::Contact::Wall;
        } else {
            actor.contact = host::Contact::Air;
        }
    }
}

} // namespace

void WorldMotion::advance(host::Host& host, double seconds)
{
    host::World& world = host.world;
    world.clock += seconds;
    for (host::Actor& actor : world.actors) {
        if (actor.kind == host::ActorKind::Ball) {
            move(actor, seconds, kBallRadius, kBallTopSpeed);
        } else if (actor.kind == host::ActorKind::Car) {
            move(actor, seconds, kCarRestHeight, kCarTopSpeed);
        }
    }
    const host::Actor* car = world.car();
    const host::Actor* ball = world.ball();
    bool touching = false;
    if (car && ball && world.server != 0) {
        const double dx = car->location.x - ball->location.x;
        const double dy = car->location.y - ball->location.y;
        const double dz = car->location.z - ball->location.z;
        touching = dx * dx + dy * dy + dz * dz <= kTouchReach * kTouchReach;
    }
    if (touching && !touching_) {
        touching_ = true;
        host.fireEvent(host::kBallHitEvent);
    }
    touching_ = touching;
}
