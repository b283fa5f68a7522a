// The per-frame step: the ball held still at its target, and the watch for take-off and landing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drill_state.h"
#include "fault_free_volanko.h"
#include "trace_reading.h"

namespace {

using trace_reading::countOf;
using trace_reading::describeAll;

class BallHold : public FaultFreeVolanko {
protected:
    void SetUp() override
    {
        FaultFreeVolanko::SetUp();
        startTracedDrill();
        host.world.ball()->velocity = {10, 20, 30};
        host.world.ball()->angularVelocity = {1, 1, 1};
    }

    void frameAt(double clock)
    {
        host.world.clock = clock;
        host.drawFrame();
    }

    void setContact(host::Contact contact) { host.world.car()->contact = contact; }

    // Resets are told apart by their one read of the throw switch.
    size_t resets() const
    {
        size_t count = 0;
        for (const host::TraceEntry& entry : host.trace.entries) {
            count += entry.args == R"(["volanko_throwplayer"])" ? 1 : 0;
        }
        return count;
    }

    const host::Actor& ball() { return *host.world.ball(); }
};

struct HoldCase {
    Vector target; // ballTarget
    Vector held;   // where the ball is put
};

class HoldLimits : public BallHold, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(HoldLimits, EachComponentLimitedOnItsOwn)
{
    volanko().ballTarget = GetParam().target;
    frameAt(1);
    EXPECT_EQ(ball().location.x, GetParam().held.x);
    EXPECT_EQ(ball().location.y, GetParam().held.y);
    EXPECT_EQ(ball().location.z, GetParam().held.z);
    EXPECT_EQ(ball().velocity.x, 0);
    EXPECT_EQ(ball().velocity.y, 0);
    EXPECT_EQ(ball().velocity.z, 0);
    EXPECT_EQ(ball().angularVelocity.x, 1) << "the spin is left as it is";
    EXPECT_EQ(volanko().ballTarget.x, GetParam().target.x) << "the target itself stays as drawn";
    EXPECT_EQ(volanko().ballTarget.z, GetParam().target.z);
}

INSTANTIATE_TEST_SUITE_P(Targets, HoldLimits,
                         ::testing::Values(HoldCase{{4500, -4500, 50}, {4000, -4500, 100}},
                                           HoldCase{{-6000, 6000, 2500}, {-4000, 5000, 1900}},
                                           HoldCase{{-4000, 5000, 100}, {-4000, 5000, 100}},
                                           HoldCase{{123.5f, -456.25f, 789}, {123.5f, -456.25f, 789}},
                                           HoldCase{{0, 0, 0}, {0, 0, 100}}));

TEST_F(BallHold, FreshObjectHangsTheBallAtTheLowestHeight)
{
    frameAt(1);
    EXPECT_EQ(ball().location.x, 0);
    EXPECT_EQ(ball().location.y, 0);
    EXPECT_EQ(ball().location.z, 100);
}

TEST_F(BallHold, NoBallStillWatchesTheCar)
{
    ASSERT_TRUE(host.world.remove(host::ActorKind::Ball));
    setContact(host::Contact::Air);
    frameAt(3);
    EXPECT_TRUE(volanko().airborne);
    EXPECT_EQ(resets(), 1u);
    EXPECT_EQ(volanko().lastResetTime, 3.0f);
    const std::vector<std::string> calls = describeAll(host.trace);
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[2], "GameWrapper::GetGameEventAsServer []");
    EXPECT_EQ(calls[3], "ServerWrapper::GetGameBalls server []");
    EXPECT_EQ(calls[4], "ArrayWrapper::Count balls []");
    EXPECT_EQ(host.trace.entries[4].result, "0");
    EXPECT_EQ(calls[5], "GameWrapper::GetGameEventAsServer []") << "straight on to the watch";
}

TEST_F(BallHold, FirstBallGoneIsNotMoved)
{
    host.world.balls.insert(host.world.balls.begin(), 999999);
    const Vector before = host.world.find(host.world.balls[1])->location;
    volanko().ballTarget = {500, 500, 500};
    frameAt(1);
    EXPECT_EQ(host.world.find(host.world.balls[1])->location.z, before.z);
    EXPECT_EQ(countOf(host.trace, "ActorWrapper::SetVelocity"), 0u);
    host.world.balls.erase(host.world.balls.begin());
}

TEST_F(BallHold, ManyFramesInTheAirStartOneRun)
{
    volanko().currentStreak = 5;
    volanko().averageTime = 9;
    volanko().lastResetTime = 2;
    setContact(host::Contact::Air);
    frameAt(6);
    EXPECT_TRUE(volanko().airborne);
    EXPECT_EQ(volanko().currentStreak, 0);
    EXPECT_EQ(volanko().averageTime, 4.0f) << "the cleared mean holds the interval since the last reset";
    EXPECT_EQ(volanko().lastResetTime, 6.0f);
    for (int frame = 0; frame < 20; ++frame) {
        frameAt(6.5 + frame);
    }
    EXPECT_EQ(resets(), 1u);
    EXPECT_EQ(volanko().lastResetTime, 6.0f);
    EXPECT_TRUE(volanko().airborne);
}

TEST_F(BallHold, TouchingDownSetsTheBannerTimeOnce)
{
    setContact(host::Contact::Air);
    frameAt(1);
    setContact(host::Contact::Ground);
    frameAt(10);
    EXPECT_FALSE(volanko().airborne);
    EXPECT_EQ(volanko().failedUntil, 12.0f);
    frameAt(11);
    frameAt(15);
    EXPECT_EQ(volanko().failedUntil, 12.0f);
    EXPECT_EQ(resets(), 1u);
}

TEST_F(BallHold, WallCountsAsGround)
{
    volanko().airborne = true;
    setContact(host::Contact::Wall);
    frameAt(4);
    EXPECT_FALSE(volanko().airborne);
    EXPECT_EQ(volanko().failedUntil, 6.0f);
    EXPECT_EQ(countOf(host.trace, "VehicleWrapper::IsOnGround"), 1u);
    EXPECT_EQ(countOf(host.trace, "VehicleWrapper::IsOnWall"), 1u);

    host.trace.clear();
    frameAt(5);
    EXPECT_EQ(resets(), 0u) << "on the wall, no run begins";
}

TEST_F(BallHold, WallIsAskedOnlyOffTheGround)
{
    frameAt(1);
    EXPECT_EQ(countOf(host.trace, "VehicleWrapper::IsOnGround"), 1u);
    EXPECT_EQ(countOf(host.trace, "VehicleWrapper::IsOnWall"), 0u);
}

TEST_F(BallHold, LandingCallsForAFreshServerForTheTime)
{
    volanko().airborne = true;
    frameAt(2);
    const std::vector<std::string> calls = describeAll(host.trace);
    const std::vector<std::string> watch(calls.begin() + 10, calls.begin() + 17);
    EXPECT_EQ(watch,
              (std::vector<std::string>{"GameWrapper::GetGameEventAsServer []", "GameEventWrapper::GetCars server []",
                                        "ArrayWrapper::Get cars [0]", "ActorWrapper::IsNull car []",
                                        "VehicleWrapper::IsOnGround car []", "GameWrapper::GetGameEventAsServer []",
                                        "ServerWrapper::GetSecondsElapsed server []"}));
}

TEST_F(BallHold, DrillOffLetsTheCarComeAndGo)
{
    volanko().airborne = true;
    volanko().failedUntil = 1;
    command("volanko_stop");
    volanko().ballTarget = {700, 700, 700};
    setContact(host::Contact::Ground);
    host.trace.clear();
    frameAt(5);
    setContact(host::Contact::Air);
    frameAt(6);
    EXPECT_TRUE(volanko().airborne);
    EXPECT_EQ(volanko().failedUntil, 1.0f);
    EXPECT_NE(ball().location.x, 700) << "the ball is not held either";
    EXPECT_EQ(describeAll(host.trace),
              (std::vector<std::string>{"GameWrapper::IsInFreeplay []", "GameWrapper::IsInFreeplay []"}));

    setContact(host::Contact::Ground);
    command("volanko_start");
    frameAt(7);
    EXPECT_FALSE(volanko().airborne);
    EXPECT_EQ(volanko().failedUntil, 9.0f);
}

TEST_F(BallHold, NoCarKeepsTheRunStateAsItIs)
{
    ASSERT_TRUE(host.world.remove(host::ActorKind::Car));
    volanko().ballTarget = {300, 400, 500};
    for (const bool airborne : {true, false}) {
        volanko().airborne = airborne;
        const DrillState before = drillState(volanko());
        frameAt(3);
        EXPECT_EQ(drillState(volanko()), before);
        EXPECT_EQ(countOf(host.trace, "VehicleWrapper::IsOnGround"), 0u);
    }
    EXPECT_EQ(ball().location.x, 300) << "the ball is still held";
}

TEST_F(BallHold, CarListWhoseFirstEntryIsGoneKeepsTheRunState)
{
    host.world.cars.insert(host.world.cars.begin(), 999999);
    volanko().airborne = false;
    frameAt(2);
    EXPECT_FALSE(volanko().airborne);
    EXPECT_EQ(resets(), 0u);
    host.world.cars.erase(host.world.cars.begin());
}

TEST_F(BallHold, OutsideFreeplayNothingRuns)
{
    host.world.setFreeplay(false);
    volanko().airborne = true;
    const DrillState before = drillState(volanko());
    host.trace.clear();
    frameAt(1);
    EXPECT_EQ(drillState(volanko()), before);
    EXPECT_EQ(describeAll(host.trace), (std::vector<std::string>{"GameWrapper::IsInFreeplay []"}));
}

} // namespace
