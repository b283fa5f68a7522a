// The per-frame step: the ball held still at its target, and the watch for take-off and landing.

#include <gtest/gtest.h>

#include "tests/support/volanko_fixture.h"

namespace {

class BallHold : public VolankoTest {
protected:
    void SetUp() override
    {
        VolankoTest::SetUp();
        startDrill();
        host.driveWorld().ball()->velocity = {10, 20, 30};
        host.driveWorld().ball()->angularVelocity = {1, 1, 1};
    }

    // Resets are told apart by their one read of the throw switch.
    size_t resets() const { return countOf("CVarWrapper::getBoolValue"); }

    const runtime::Actor& ball() { return *host.world().ball(); }
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
    EXPECT_EQ(xyz(ball().location), xyz(GetParam().held));
    EXPECT_EQ(ball().velocity.x + ball().velocity.y + ball().velocity.z, 0);
    EXPECT_EQ(ball().angularVelocity.x, 1) << "the spin is left as it is";
}

INSTANTIATE_TEST_SUITE_P(Targets, HoldLimits,
                         ::testing::Values(HoldCase{{4500, -4500, 50}, {4000, -4500, 100}},
                                           HoldCase{{-6000, 6000, 2500}, {-4000, 5000, 1900}},
                                           HoldCase{{4000, -6000, 1900}, {4000, -5000, 1900}},
                                           HoldCase{{-4000, 5000, 100}, {-4000, 5000, 100}},
                                           HoldCase{{123.5f, -456.25f, 789}, {123.5f, -456.25f, 789}}));

struct WatchCase {
    runtime::Contact contact; // the car's this frame
    bool airborne;            // before the frame
    bool airborneAfter;       // after it
    size_t resets;            // runs begun
    float failedUntil;        // after a frame at 4 s
    size_t wallAsked;         // IsOnWall calls
};

class Watch : public BallHold, public ::testing::WithParamInterface<WatchCase> {};

TEST_P(Watch, TakeOffBeginsARunAndTouchingGroundOrWallEndsIt)
{
    const WatchCase& c = GetParam();
    volanko().airborne = c.airborne;
    volanko().failedUntil = 1;
    host.driveWorld().car()->contact = c.contact;
    frameAt(4);
    EXPECT_EQ(volanko().airborne, c.airborneAfter);
    EXPECT_EQ(resets(), c.resets);
    EXPECT_EQ(volanko().failedUntil, c.failedUntil);
    EXPECT_EQ(countOf("VehicleWrapper::IsOnGround"), 1u);
    EXPECT_EQ(countOf("VehicleWrapper::IsOnWall"), c.wallAsked);
}

INSTANTIATE_TEST_SUITE_P(Cases, Watch,
                         ::testing::Values(WatchCase{runtime::Contact::Air, false, true, 1, 1, 1},
                                           WatchCase{runtime::Contact::Air, true, true, 0, 1, 1},
                                           WatchCase{runtime::Contact::Ground, true, false, 0, 6, 0},
                                           WatchCase{runtime::Contact::Ground, false, false, 0, 1, 0},
                                           WatchCase{runtime::Contact::Wall, true, false, 0, 6, 1},
                                           WatchCase{runtime::Contact::Wall, false, false, 0, 1, 1}));

TEST_F(BallHold, ARunStartClearsStreakAndMeanBeforeItsReset)
{
    volanko().currentStreak = 5;
    volanko().averageTime = 9;
    host.driveWorld().car()->contact = runtime::Contact::Air;
    frameAt(6);
    EXPECT_EQ(volanko().currentStreak, 0);
    EXPECT_EQ(volanko().averageTime, 0.0f) << "no earlier reset to fold: the cleared mean stays";
    EXPECT_EQ(volanko().lastResetTime, 6.0f);

    volanko().airborne = false;
    volanko().currentStreak = 5;
    volanko().averageTime = 9;
    frameAt(8.5);
    EXPECT_EQ(volanko().averageTime, 2.5f) << "the cleared mean holds the interval since the last reset";
}

TEST_F(BallHold, OutsideFreeplayOrWithTheDrillOffTheCarComesAndGoes)
{
    fillFields();
    host.runCommand({"volanko_stop"});
    const auto before = fields();
    host.clearTrace();
    frameAt(5);
    host.driveWorld().car()->contact = runtime::Contact::Air;
    frameAt(6);
    EXPECT_EQ(fields(), before);
    host.runCommand({"volanko_start"});
    host.driveWorld().setFreeplay(false);
    EXPECT_TRUE(host.world().cars.empty() && host.world().server == 0) << "leaving free play ends the game event";
    frameAt(7);
    EXPECT_EQ(calls(), (Lines{"GameWrapper::IsInFreeplay []", "GameWrapper::IsInFreeplay []",
                              "GameWrapper::IsInFreeplay []", "GameWrapper::IsInFreeplay []"}));
}

// Nothing is asked of a ball or car that is not there.
TEST_F(BallHold, NoCarOrBallOrAGoneOneKeepsTheRunState)
{
    volanko().ballTarget = {300, 400, 500};
    const auto frameKeepsTheState = [this](bool airborne) {
        volanko().airborne = airborne;
        const auto before = fields();
        frameAt(3);
        EXPECT_EQ(fields(), before);
    };
    host.driveWorld().cars.insert(host.driveWorld().cars.begin(), 999999);
    host.driveWorld().balls.insert(host.driveWorld().balls.begin(), 999999);
    frameKeepsTheState(false);
    EXPECT_EQ(countOf("ActorWrapper::SetVelocity"), 0u);
    EXPECT_NE(host.world().find(host.world().balls[1])->location.x, 300);
    host.driveWorld().cars.clear();
    host.driveWorld().balls.erase(host.driveWorld().balls.begin());
    frameKeepsTheState(true);
    EXPECT_EQ(countOf("VehicleWrapper::IsOnGround"), 0u);
    EXPECT_EQ(ball().location.x, 300) << "the ball is still held";
}

} // namespace
