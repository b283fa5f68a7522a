// The simulated world tick by tick, and the frame step both the arena and the validator take.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sim/frame_step.h"
#include "sim/physics.h"

namespace {

using runtime::Contact;

class Physics : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.driveWorld().setFreeplay(true);
        car().location = {0, 0, 1000};
        car().contact = Contact::Air;
        ball().location = {2000, 2000, 1000};
    }
    runtime::Actor& car() { return *host.driveWorld().car(); }
    runtime::Actor& ball() { return *host.driveWorld().ball(); }
    int tick(Vector carAt, Vector carVelocity = {})
    {
        car().location = carAt;
        car().velocity = carVelocity;
        sim::PhysicsEvents events;
        sim::tickPhysics(host.driveWorld(), state, events);
        return events.touches;
    }
    static float length(const Vector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

    runtime::Host host;
    sim::PhysicsState state;
};

TEST_F(Physics, ContactsAndSurfaces)
{
    tick({0, 0, 17});
    EXPECT_EQ(car().contact, Contact::Ground);
    EXPECT_EQ(car().location.z, 17);
    state.input.jump = true; // leaves the ground at the next tick
    tick(car().location);
    EXPECT_EQ(car().contact, Contact::Air);
    EXPECT_FALSE(state.input.jump);
    EXPECT_NEAR(car().velocity.z, sim::kJumpSpeed + sim::kGravity / 120, 1e-3);
    tick({0, 0, 18}, {0, 0, -500}); // falling through the rest height lands exactly on it
    EXPECT_EQ(car().contact, Contact::Ground);
    EXPECT_EQ(car().location.z, 17);
    EXPECT_EQ(car().velocity.z, 0);

    const float reach = sim::kSideWallX - sim::kCarRestHeight;
    tick({reach, 0, 1000});
    EXPECT_EQ(car().contact, Contact::Wall);
    tick({-reach + 1, 0, 1000});
    EXPECT_EQ(car().contact, Contact::Air);
    tick({0, sim::kBackWallY - 20, 1000}, {0, 2000, 0}); // into a back wall: stops there
    EXPECT_EQ(car().contact, Contact::Wall);
    EXPECT_EQ(car().location.y, sim::kBackWallY - sim::kCarRestHeight);
    EXPECT_EQ(car().velocity.y, 0);
    tick({sim::kSideWallX, sim::kBackWallY, 0}, {100, 100, -100}); // the ground wins in a corner
    EXPECT_EQ(car().contact, Contact::Ground);
}

TEST_F(Physics, ATouchIsInclusiveOfTheReachAndFiresAgainOnlyAfterLeaving)
{
    // Gravity moves both the same over a tick, so the gap stays as set.
    ball().location = {sim::kTouchReach + 0.5f, 0, 1000};
    EXPECT_EQ(tick({0, 0, 1000}), 0);
    ball().location = {0, 0, 1000 + sim::kTouchReach - 0.01f};
    EXPECT_EQ(tick({0, 0, 1000}), 1);
    ball().location = {0, 0, 1100};
    EXPECT_EQ(tick({0, 0, 1000}), 0);
    ball().location = {3000, 0, 1000};
    EXPECT_EQ(tick({0, 0, 1000}), 0);
    EXPECT_TRUE(state.touching.empty());
    ball().location = {0, 0, 1000};
    EXPECT_EQ(tick({0, 0, 1000}), 1);
}

TEST_F(Physics, EachCarTouchesEachBallOnceUntilTheyPart)
{
    for (int i = 0; i < 2; ++i) {
        host.driveWorld().spawn(runtime::ActorKind::Car);
        host.driveWorld().spawn(runtime::ActorKind::Ball);
    }
    const auto placeAll = [this](Vector at) {
        for (runtime::Actor& actor : host.driveWorld().actors) {
            actor.location = at;
            actor.contact = Contact::Air;
        }
    };
    const auto touches = [this] {
        sim::PhysicsEvents events;
        sim::tickPhysics(host.driveWorld(), state, events);
        return events.touches;
    };
    placeAll({0, 0, 1000}); // all in one spot: no push moves them apart
    EXPECT_EQ(touches(), 9);
    EXPECT_EQ(touches(), 0);
    host.driveWorld().find(host.driveWorld().balls.back())->location = {3000, 0, 1000};
    EXPECT_EQ(touches(), 0);
    EXPECT_EQ(state.touching.size(), 6u);
    placeAll({0, 0, 1000});
    EXPECT_EQ(touches(), 3); // the ball that left, with each car
    host.driveWorld().remove(runtime::ActorKind::Car);
    EXPECT_EQ(touches(), 0);
    EXPECT_EQ(state.touching.size(), 6u);
}

TEST_F(Physics, BallBouncesWithRestitutionAndEverythingStaysInLimits)
{
    ball().location = {0, 0, sim::kBallRadius + 1};
    ball().velocity = {0, 0, -1000};
    tick({0, 0, 1000});
    EXPECT_EQ(ball().location.z, sim::kBallRadius);
    EXPECT_NEAR(ball().velocity.z, (1000 - sim::kGravity / 120) * sim::kBallRestitution, 0.5);

    ball().location = {0, 0, 1000};
    ball().velocity = {1e30f, -1e30f, 1e30f};
    tick({0, 0, 1000}, {5000, 5000, 0});
    EXPECT_LE(length(ball().velocity), sim::kBallMaxSpeed * 1.0001f);
    EXPECT_LE(std::fabs(ball().location.x), sim::kSideWallX - sim::kBallRadius);
    EXPECT_LE(length(car().velocity), sim::kCarMaxSpeed * 1.0001f);
}

TEST_F(Physics, StepTicksAt120HzCarryingTheRemainder)
{
    ball().location = {0, 0, 1500};
    car().location = {3000, 0, 1500};
    sim::PhysicsEvents events;
    for (int i = 0; i < 30; ++i) { // thirty frames at 60 fps make sixty ticks
        sim::stepPhysics(host.driveWorld(), state, 1.0 / 60, events);
    }
    // After n ticks of v += g dt then z += v dt, the drop is g dt² n (n + 1) / 2.
    const double dt = 1.0 / 120;
    EXPECT_NEAR(ball().location.z, 1500 + sim::kGravity * dt * dt * 60 * 61 / 2, 0.05);
    const float before = ball().location.z;
    sim::stepPhysics(host.driveWorld(), state, dt / 2, events); // half a tick moves nothing; the other half does
    EXPECT_EQ(ball().location.z, before);
    sim::stepPhysics(host.driveWorld(), state, dt / 2, events);
    EXPECT_LT(ball().location.z, before);
    sim::stepPhysics(host.driveWorld(), state, std::nan(""), events); // nonsense is dropped
    sim::stepPhysics(host.driveWorld(), state, 1e9, events);
    EXPECT_TRUE(std::isfinite(ball().location.z));
}

// The clock lands on whole seconds exactly and is rebased when set elsewhere or when the rate
// changes; touches fire only while there is a game event.
TEST_F(Physics, FrameStepMovesTheClockThenFiresTheTouches)
{
    sim::FrameStep frames;
    car().location = ball().location;
    EXPECT_EQ(frames.step(host, 49), 1);
    for (int i = 1; i < 49; ++i) {
        EXPECT_EQ(frames.step(host, 49), 0);
    }
    EXPECT_EQ(host.driveWorld().clock, 1.0);
    host.driveWorld().clock = 7;
    frames.step(host, 2);
    EXPECT_EQ(host.driveWorld().clock, 7.5);
    frames.step(host, std::numeric_limits<double>::infinity());
    EXPECT_EQ(host.driveWorld().clock, 7.5);

    ball().location = {3000, 0, 1000};
    frames.step(host, 120);
    host.driveWorld().remove(runtime::ActorKind::Server);
    ball().location = car().location;
    EXPECT_EQ(frames.step(host, 120), 0);
}

} // namespace
