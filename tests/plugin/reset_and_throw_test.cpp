// The reset after a hit or a take-off: the mean time, the new ball target, and the car placed on
// the far side of it and thrown by the level, call by call.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "arena/play/drill_profile.h"
#include "tests/support/volanko_fixture.h"

namespace {

Lines operator+(Lines lines, const Lines& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

const Lines kLocationReads = {R"(CVarManagerWrapper::getCvar ["volanko_balllocation_z"])",
                              R"(CVarManagerWrapper::getCvar ["volanko_balllocation_y"])",
                              R"(CVarManagerWrapper::getCvar ["volanko_balllocation_x"])",
                              "CVarWrapper::getFloatValue volanko_balllocation_z []",
                              "CVarWrapper::getFloatValue volanko_balllocation_y []",
                              "CVarWrapper::getFloatValue volanko_balllocation_x []"};

// A hit's first reset, from the hit's guard to the read of the throw switch.
const Lines kUpToThrowSwitch =
    Lines{"GameWrapper::IsInFreeplay []", "GameWrapper::IsInFreeplay []", "GameWrapper::GetGameEventAsServer []",
          "ServerWrapper::GetSecondsElapsed server []"} +
    kLocationReads +
    Lines{R"(CVarManagerWrapper::getCvar ["volanko_throwplayer"])", "CVarWrapper::getBoolValue volanko_throwplayer []"};

// Then the car, the start's own reads and the ball's rotation.
const Lines kUpToBallRotation =
    kUpToThrowSwitch +
    Lines{"GameEventWrapper::GetCars server []", "ArrayWrapper::Get cars [0]", "ActorWrapper::IsNull car []"} +
    kLocationReads +
    Lines{"ServerWrapper::GetGameBalls server []", "ArrayWrapper::Get balls [0]", "ActorWrapper::IsNull ball []",
          "ActorWrapper::GetRotation ball []"};

Lines levelReads(int times)
{
    return times == 0 ? Lines{}
                      : levelReads(times - 1) + Lines{R"(CVarManagerWrapper::getCvar ["volanko_throwlevel"])",
                                                      "CVarWrapper::getStringValue volanko_throwlevel []"};
}

class ResetAndThrow : public VolankoTest {
protected:
    void SetUp() override
    {
        VolankoTest::SetUp();
        startDrill();
        host.driveWorld().ball()->rotation = {100, 200, 300};
        host.driveWorld().ball()->angularVelocity = {1, 2, 3};
        host.driveWorld().car()->velocity = {50, 60, 70};
        setLocation("1000", "2000", "500");
    }
};

// The car's calls for a level: placed at (-1000, -2000, 1000) for the target (1000, 2000, 500), turned,
// and thrown along d = (2000, 4000, -500) / 4500 with dz dropped, times the level's factor.
Lines thrown(const std::string& spin, const std::string& rotation, const std::string& velocity)
{
    Lines lines = {"ActorWrapper::SetVelocity car [[0,0,0]]", "ActorWrapper::SetLocation car [[-1000,-2000,1000]]"};
    if (spin != "[0,0,0]") {
        lines = lines + Lines{"ServerWrapper::GetGameBalls server []", "ArrayWrapper::Get balls [0]",
                              "ActorWrapper::GetAngularVelocity ball []"};
    }
    lines = lines + Lines{"ActorWrapper::SetAngularVelocity car [" + spin + ",false]",
                          "ActorWrapper::SetRotation car [" + rotation + "]"};
    return velocity.empty() ? lines : lines + Lines{"ActorWrapper::AddVelocity car [" + velocity + "]"};
}

struct LevelCase {
    const char* level; // the text of volanko_throwlevel
    int reads;         // times it is looked up and read
    Lines carCalls;    // what follows the last read
};

class ThrowLevels : public ResetAndThrow, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(ThrowLevels, ExactCallsFromTheGuardToTheThrow)
{
    ASSERT_EQ(host.setVariable(std::string(arena::kDrill.levelVariable), GetParam().level), "");
    hitAt(5);
    EXPECT_EQ(calls(), kUpToBallRotation + levelReads(GetParam().reads) + GetParam().carCalls);
}

const char* const kEasy = "[444.44446,888.8889,0]";
constexpr auto kLevels = arena::kDrill.levels;

INSTANTIATE_TEST_SUITE_P(EveryLevel, ThrowLevels,
                         // The arena's drill profile names the levels: the plug-in must take them in its order.
                         ::testing::Values(LevelCase{kLevels[0].data(), 1, thrown("[0,0,0]", "[0,200,0]", "")},
                                           LevelCase{kLevels[1].data(), 2, thrown("[0,0,0]", "[0,200,0]", kEasy)},
                                           LevelCase{kLevels[2].data(), 3, thrown("[0,0,0]", "[0,200,300]", kEasy)},
                                           LevelCase{kLevels[3].data(), 4, thrown("[0,0,0]", "[100,200,300]", kEasy)},
                                           LevelCase{kLevels[4].data(), 5,
                                                     thrown("[1,2,3]", "[100,200,300]", "[666.6667,1333.3334,0]")},
                                           // Case, blanks and the empty text match nothing: the car is left alone.
                                           LevelCase{"Easy", 5, {}}, LevelCase{"easy ", 5, {}}, LevelCase{"PRO", 5, {}},
                                           LevelCase{"", 5, {}}));

TEST_F(ResetAndThrow, ThrowSwitchOffLeavesCarBallAndLevelUnread)
{
    ASSERT_EQ(host.setVariable("volanko_throwplayer", "0"), "");
    hitAt(8);
    EXPECT_EQ(calls(), kUpToThrowSwitch);
    EXPECT_EQ(xyz(volanko().ballTarget), xyz({1000, 2000, 500}));
    EXPECT_EQ(volanko().lastResetTime, 8.0f);
    EXPECT_EQ(host.world().car()->velocity.z, 70) << "the car keeps its motion";
}

struct MeanCase {
    int32_t streak;  // currentStreak before the hit
    float average;   // averageTime before
    float lastReset; // lastResetTime before
    double clock;    // the game time of the hit
    float expected;  // averageTime after
};

class Mean : public ResetAndThrow, public ::testing::WithParamInterface<MeanCase> {};

TEST_P(Mean, FoldsTheIntervalInSinglePrecision)
{
    const MeanCase& c = GetParam();
    volanko().currentStreak = c.streak;
    volanko().averageTime = c.average;
    volanko().lastResetTime = c.lastReset;
    hitAt(c.clock);
    EXPECT_EQ(volanko().averageTime, c.expected);
    EXPECT_EQ(volanko().lastResetTime, static_cast<float>(c.clock));
}

INSTANTIATE_TEST_SUITE_P(Cases, Mean,
                         ::testing::Values(MeanCase{0, 2.5f, 0, 7.25, 2.5f}, // the first reset only stamps the time
                                           MeanCase{2, 3.0f, 10, 14, (2 * 3.0f + 4.0f) / 3.0f},
                                           // 2^24 + 1 rounds down as a float; the + 1 is made on the integer.
                                           MeanCase{16777217, 3.0f, 1, 2, (16777216.0f * 3.0f + 1.0f) / 16777218.0f},
                                           // A saturated streak: both counts round to 2^31 and the mean stays finite.
                                           MeanCase{std::numeric_limits<int32_t>::max(), 2.0f, 1, 3,
                                                    (2147483648.0f * 2.0f + 2.0f) / 2147483648.0f}));

struct StartCase {
    const char* target[3]; // x, y, z of the first reads: the ball target
    const char* reads[3];  // x, y, z of the second reads: the car's start before limits
    Vector start;          // where the car is put
};

class StartPosition : public ResetAndThrow, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartPosition, LimitedThenMirrored)
{
    const StartCase& c = GetParam();
    setLocation(c.target[0], c.target[1], c.target[2]);
    switchLocationAfterTarget(c.reads[0], c.reads[1], c.reads[2]);
    ASSERT_EQ(host.setVariable("volanko_throwlevel", "beginner"), "");
    hitAt(2);
    EXPECT_EQ(xyz(host.world().car()->location), xyz(c.start));
    // A zero is never mirrored, so it never turns into -0 either.
    EXPECT_EQ(std::signbit(host.world().car()->location.x), std::signbit(c.start.x));
    EXPECT_EQ(std::signbit(host.world().car()->location.y), std::signbit(c.start.y));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartPosition,
    ::testing::Values(StartCase{{"3500", "100", "500"}, {"3500", "-2600", "1200"}, {-3000, -2500, 1200}},
                      StartCase{{"-100", "-200", "500"}, {"-2000", "-1000", "999.5"}, {2000, 1000, 1000}},
                      StartCase{{"-100", "200", "500"}, {"2000", "-1000", "1900"}, {2000, -1000, 1900}},
                      StartCase{{"0", "0", "500"}, {"700", "-700", "100"}, {700, -700, 1000}},
                      StartCase{{"500", "-500", "500"}, {"0", "0", "500"}, {0, 0, 1000}},
                      StartCase{{"-3500", "3900", "500"}, {"-4000", "3000", "500"}, {3000, -2500, 1000}},
                      // Between 0 and 1 on either side: still strictly positive or negative.
                      StartCase{{"0.5", "-0.5", "500"}, {"700", "-700", "500"}, {-700, 700, 1000}},
                      StartCase{{"700", "-700", "500"}, {"0.5", "-0.5", "500"}, {-0.5f, 0.5f, 1000}}));

// Never thrown downwards, but upwards as it comes; and nothing when start and target meet.
TEST_F(ResetAndThrow, ThrowDirectionAtItsEdges)
{
    ASSERT_EQ(host.setVariable("volanko_throwlevel", "easy"), "");
    setLocation("1000", "2000", "1900");
    switchLocationAfterTarget("1000", "2000", "1000");
    hitAt(2);
    EXPECT_EQ(calls().back(), "ActorWrapper::AddVelocity car [[438.42365,876.8473,197.29063]]");
    switching.reset();
    setLocation("0", "0", "1000");
    host.clearTrace();
    hitAt(3);
    EXPECT_EQ(calls().back(), "ActorWrapper::SetRotation car [[0,200,0]]");
    EXPECT_EQ(host.world().car()->location.z, 1000);
}

struct MissingCase {
    const char* name;
    std::function<void(runtime::World&)> remove; // takes the actor out of the game, or leaves a gone one listed
    const char* lastCalls;                       // where the reset stops
};

class MissingActor : public ResetAndThrow, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingActor, SkipsTheCarStepsButStillResets)
{
    GetParam().remove(host.driveWorld());
    ASSERT_EQ(host.setVariable("volanko_throwlevel", "easy"), "");
    volanko().currentStreak = 1;
    volanko().averageTime = 2.0f;
    volanko().lastResetTime = 3.0f;
    hitAt(6);
    EXPECT_THAT(trace(), ::testing::EndsWith(GetParam().lastCalls));
    EXPECT_EQ(volanko().averageTime, 2.5f);
    EXPECT_EQ(volanko().lastResetTime, 6.0f);
    EXPECT_EQ(volanko().ballTarget.y, 2000);
    EXPECT_EQ(volanko().currentStreak, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingActor,
    ::testing::Values(
        MissingCase{"FirstCarGone", [](runtime::World& w) { w.cars.insert(w.cars.begin(), 999999); },
                    "volanko_throwplayer []\nGameEventWrapper::GetCars server []\nArrayWrapper::Get cars [0]\n"
                    "ActorWrapper::IsNull null []\n"},
        MissingCase{"NoBall", [](runtime::World& w) { w.remove(runtime::ActorKind::Ball); },
                    "volanko_balllocation_x []\nServerWrapper::GetGameBalls server []\n"
                    "ArrayWrapper::Get balls [0]\nActorWrapper::IsNull null []\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
