#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "frame_step.h"
#include "physics.h"

namespace {

using arena::PhysicsEvents;
using arena::PhysicsState;
using host::Contact;

class Physics : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.setFreeplay(true);
        car().location = {0, 0, 1000};
        car().contact = Contact::Air;
        ball().location = {2000, 2000, 1000};
    }
    host::Actor& car() { return *world.car(); }
    host::Actor& ball() { return *world.ball(); }
    int tick()
    {
        PhysicsEvents events;
        arena::tickPhysics(world, state, events);
        return events.touches;
    }
    static float length(const Vector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

    host::World world;
    PhysicsState state;
};

TEST_F(Physics, CarOnTheGroundAtRestHeightInTheAirJustAbove)
{
    car().location = {0, 0, 17};
    car().velocity = {};
    tick();
    EXPECT_EQ(car().contact, Contact::Ground);
    EXPECT_EQ(car().location.z, 17);

    // A jump leaves the ground at the next tick.
    state.input.jump = true;
    tick();
    EXPECT_EQ(car().contact, Contact::Air);
    EXPECT_FALSE(state.input.jump);
    EXPECT_NEAR(car().velocity.z, arena::kJumpSpeed + arena::kGravity / 120, 1e-3);

    // Falling through the rest height lands exactly on it.
    car().location = {0, 0, 18};
    car().velocity = {0, 0, -500};
    tick();
    EXPECT_EQ(car().contact, Contact::Ground);
    EXPECT_EQ(car().location.z, 17);
    EXPECT_EQ(car().velocity.z, 0);
}

TEST_F(Physics, CarOnAWallAtItsReachInTheAirJustShort)
{
    const float reach = arena::kSideWallX - arena::kCarRestHeight;
    car().location = {reach, 0, 1000};
    car().velocity = {0, 0, 0};
    tick();
    EXPECT_EQ(car().contact, Contact::Wall);

    car().location = {-reach + 1, 0, 1000};
    car().velocity = {0, 0, 0};
    tick();
    EXPECT_EQ(car().contact, Contact::Air);

    // Flying into a back wall stops there and never leaves the pitch.
    car().location = {0, arena::kBackWallY - 20, 1000};
    car().velocity = {0, 2000, 0};
    tick();
    EXPECT_EQ(car().contact, Contact::Wall);
    EXPECT_EQ(car().location.y, arena::kBackWallY - arena::kCarRestHeight);
    EXPECT_EQ(car().velocity.y, 0);
}

TEST_F(Physics, GroundWinsOverAWallInACorner)
{
    car().location = {arena::kSideWallX, arena::kBackWallY, 0};
    car().velocity = {100, 100, -100};
    tick();
    EXPECT_EQ(car().contact, Contact::Ground);
}

TEST_F(Physics, TouchFiresOnceAndAgainOnlyAfterLeaving)
{
    ball().location = {0, 0, 1000 + arena::kTouchReach - 1};
    car().velocity = {};
    ball().velocity = {};
    EXPECT_EQ(tick(), 1);
    ball().location = {0, 0, 1100};
    car().location = {0, 0, 1000};
    EXPECT_EQ(tick(), 0);
    EXPECT_EQ(tick(), 0);

    ball().location = {3000, 0, 1000};
    EXPECT_EQ(tick(), 0);
    EXPECT_TRUE(state.touching.empty());
    ball().location = car().location;
    EXPECT_EQ(tick(), 1);
}

TEST_F(Physics, TouchReachIsInclusiveAndNoFurther)
{
    car().velocity = {};
    ball().velocity = {};
    // Gravity moves both the same over a tick, so the gap stays as set.
    ball().location = {arena::kTouchReach + 0.5f, 0, 1000};
    EXPECT_EQ(tick(), 0);
    car().location = {0, 0, 1000};
    ball().location = {arena::kTouchReach - 0.01f, 0, 1000};
    EXPECT_EQ(tick(), 1);
}

TEST_F(Physics, BallBouncesWithRestitutionAndSpeedsAndPlacesStayInLimits)
{
    ball().location = {0, 0, arena::kBallRadius + 1};
    ball().velocity = {0, 0, -1000};
    tick();
    EXPECT_EQ(ball().location.z, arena::kBallRadius);
    EXPECT_NEAR(ball().velocity.z, (1000 - arena::kGravity / 120) * arena::kBallRestitution, 0.5);

    ball().location = {0, 0, 1000};
    ball().velocity = {1e30f, -1e30f, 1e30f};
    car().velocity = {5000, 5000, 0};
    tick();
    EXPECT_LE(length(ball().velocity), arena::kBallMaxSpeed * 1.0001f);
    EXPECT_LE(std::fabs(ball().location.x), arena::kSideWallX - arena::kBallRadius);
    EXPECT_LE(length(car().velocity), arena::kCarMaxSpeed * 1.0001f);
}

TEST_F(Physics, StepTicksAt120HzCarryingTheRemainder)
{
    ball().velocity = {};
    ball().location = {0, 0, 1500};
    car().location = {3000, 0, 1500};
    PhysicsEvents events;
    // Thirty frames at 60 fps make sixty ticks.
    for (int i = 0; i < 30; ++i) {
        arena::stepPhysics(world, state, 1.0 / 60, events);
    }
    // After n ticks of v += g dt then z += v dt, the drop is g dt² n (n + 1) / 2.
    const double dt = 1.0 / 120;
    EXPECT_NEAR(ball().location.z, 1500 + arena::kGravity * dt * dt * 60 * 61 / 2, 0.05);

    // Half a tick moves nothing; the other half does.
    const float before = ball().location.z;
    arena::stepPhysics(world, state, dt / 2, events);
    EXPECT_EQ(ball().location.z, before);
    arena::stepPhysics(world, state, dt / 2, events);
    EXPECT_LT(ball().location.z, before);

    // Nonsense is dropped.
    arena::stepPhysics(world, state, std::nan(""), events);
    arena::stepPhysics(world, state, 1e9, events);
    EXPECT_TRUE(std::isfinite(ball().location.z));
}

TEST_F(Physics, HeldBallIsLeftWhereThePlugInPutsIt)
{
    // The plug-in sets location and zero velocity every frame; a tick only lets it sag by gravity.
    ball().location = {500, 500, 800};
    ball().velocity = {};
    tick();
    EXPECT_EQ(ball().location.x, 500);
    EXPECT_NEAR(ball().location.z, 800, 0.1);
}

// One frame: physics, then the clock (exact whole seconds, rebased when set elsewhere or when the
// rate changes), then a hit per new touch only while there is a game event.
TEST(FrameStep, ClockFollowsExactlyAndTouchesFireOnlyInAGame)
{
    host::Host host;
    host.world.setFreeplay(true);
    arena::FrameStep frames;
    host.world.car()->location = host.world.ball()->location = {0, 0, 1000};
    EXPECT_EQ(frames.step(host, 49), 1);
    for (int i = 1; i < 49; ++i) {
        EXPECT_EQ(frames.step(host, 49), 0);
    }
    EXPECT_EQ(host.world.clock, 1.0);
    host.world.clock = 7;
    frames.step(host, 2);
    EXPECT_EQ(host.world.clock, 7.5);
    frames.step(host, std::numeric_limits<double>::infinity());
    EXPECT_EQ(host.world.clock, 7.5);

    host.world.ball()->location = {3000, 0, 1000};
    frames.step(host, 120);
    host.world.remove(host::ActorKind::Server);
    host.world.ball()->location = host.world.car()->location;
    EXPECT_EQ(frames.step(host, 120), 0);
}

} // namespace
