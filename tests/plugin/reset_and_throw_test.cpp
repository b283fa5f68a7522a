// The reset after a hit or a take-off: the mean time, the new ball target, and the car placed on
// the far side of it and thrown by the level.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "drill_state.h"
#include "fault_free_volanko.h"
#include "trace_reading.h"

namespace {

using trace_reading::countOf;
using trace_reading::describeAll;
using trace_reading::entriesOf;
using trace_reading::floatReads;
using trace_reading::vectorArg;

std::vector<std::string> locationReads()
{
    return {
        R"(CVarManagerWrapper::getCvar ["volanko_balllocation_z"])",
        R"(CVarManagerWrapper::getCvar ["volanko_balllocation_y"])",
        R"(CVarManagerWrapper::getCvar ["volanko_balllocation_x"])",
        "CVarWrapper::getFloatValue volanko_balllocation_z []",
        "CVarWrapper::getFloatValue volanko_balllocation_y []",
        "CVarWrapper::getFloatValue volanko_balllocation_x []",
    };
}

std::vector<std::string> levelReads(int times)
{
    std::vector<std::string> lines;
    for (int i = 0; i < times; ++i) {
        lines.push_back(R"(CVarManagerWrapper::getCvar ["volanko_throwlevel"])");
        lines.push_back("CVarWrapper::getStringValue volanko_throwlevel []");
    }
    return lines;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& lines)
{
    to.insert(to.end(), lines.begin(), lines.end());
}

// From the target's reads to the ball's rotation, for a throw with a car and a ball.
std::vector<std::string> targetToBallRotationReads()
{
    std::vector<std::string> lines = locationReads();
    append(lines, {R"(CVarManagerWrapper::getCvar ["volanko_throwplayer"])",
                   "CVarWrapper::getBoolValue volanko_throwplayer []", "GameEventWrapper::GetCars server []",
                   "ArrayWrapper::Get cars [0]", "ActorWrapper::IsNull car []"});
    append(lines, locationReads());
    append(lines, {"ServerWrapper::GetGameBalls server []", "ArrayWrapper::Get balls [0]",
                   "ActorWrapper::IsNull ball []", "ActorWrapper::GetRotation ball []"});
    return lines;
}

std::string vectorText(const Vector& v)
{
    std::string text;
    host::appendJson(text, v);
    return text;
}

// The throw direction for a target and a start, in single precision as the drill computes it:
// normalised, then never downwards, and not normalised again.
Vector throwDirection(Vector target, Vector start)
{
    const Vector d{target.x - start.x, target.y - start.y, target.z - start.z};
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    Vector direction{d.x / length, d.y / length, d.z / length};
    if (direction.z < 0) {
        direction.z = 0;
    }
    return direction;
}

Vector scaled(Vector v, float factor)
{
    return {v.x * factor, v.y * factor, v.z * factor};
}

// The start coordinate for one read: limited to ±bound, then put on the other side of 0 from
// the target's coordinate.
float startCoordinate(float read, float bound, float target)
{
    float value = read < -bound ? -bound : (read > bound ? bound : read);
    if ((value < 0 && target < 0) || (value > 0 && target > 0)) {
        value = -value;
    }
    return value;
}

class ResetAndThrow : public FaultFreeVolanko {
protected:
    void SetUp() override
    {
        FaultFreeVolanko::SetUp();
        host.world.setFreeplay(true);
        command("volanko_start");
        host.world.ball()->rotation = {100, 200, 300};
        host.world.ball()->angularVelocity = {1, 2, 3};
        host.world.car()->velocity = {50, 60, 70};
        host.world.car()->angularVelocity = {9, 9, 9};
        host.trace.on = true;
        host.trace.clear();
    }

    void setLevel(const std::string& level) { ASSERT_TRUE(host.console.set("volanko_throwlevel", level)); }

    void hitAt(double clock)
    {
        host.world.clock = clock;
        hit();
    }

    // The calls on the car after the ball's rotation was read.
    std::vector<std::string> carCalls() const
    {
        std::vector<std::string> lines;
        for (const host::TraceEntry& entry : host.trace.entries) {
            if (entry.self.starts_with("car#") && std::string_view(entry.call) != "ActorWrapper::IsNull") {
                lines.push_back(trace_reading::describe(entry));
            }
        }
        return lines;
    }

    const host::Actor& car() { return *host.world.car(); }
};

const Vector kWorkedTarget{1000, 2000, 500};
const Vector kWorkedStart{-1000, -2000, 1000};

TEST_F(ResetAndThrow, WorkedExampleWithItsExactCalls)
{
    setLocation("1000", "2000", "500");
    setLevel("easy");
    host.trace.clear();
    hitAt(5);

    const Vector added = scaled(throwDirection(kWorkedTarget, kWorkedStart), 1000);
    std::vector<std::string> expected = {
        "GameWrapper::IsInFreeplay []", // the hit's guard
        "GameWrapper::IsInFreeplay []", // the reset's own
        "GameWrapper::GetGameEventAsServer []",
        "ServerWrapper::GetSecondsElapsed server []", // only the stamp: no reset before this one
    };
    append(expected, targetToBallRotationReads());
    append(expected, levelReads(2));
    append(expected,
           {"ActorWrapper::SetVelocity car [[0,0,0]]", "ActorWrapper::SetLocation car [[-1000,-2000,1000]]",
            "ActorWrapper::SetAngularVelocity car [[0,0,0],false]", "ActorWrapper::SetRotation car [[0,200,0]]",
            "ActorWrapper::AddVelocity car [" + vectorText(added) + "]"});
    EXPECT_EQ(describeAll(host.trace), expected);

    EXPECT_EQ(volanko().ballTarget.x, 1000);
    EXPECT_EQ(volanko().ballTarget.y, 2000);
    EXPECT_EQ(volanko().ballTarget.z, 500);
    EXPECT_EQ(volanko().lastResetTime, 5.0f);
    EXPECT_EQ(volanko().averageTime, 0.0f) << "the first reset leaves the mean alone";
    EXPECT_NEAR(car().velocity.x, 444.4, 0.05);
    EXPECT_NEAR(car().velocity.y, 888.9, 0.05);
    EXPECT_EQ(car().velocity.z, 0);
    EXPECT_EQ(car().location.x, -1000);
    EXPECT_EQ(car().location.y, -2000);
    EXPECT_EQ(car().location.z, 1000);
}

TEST_F(ResetAndThrow, ProReadsTheLevelFiveTimesAndSpinsTheCarLikeTheBall)
{
    setLocation("1000", "2000", "500");
    setLevel("pro");
    hitAt(2);
    host.trace.clear();
    hitAt(3);

    const Vector added = scaled(throwDirection(kWorkedTarget, kWorkedStart), 1500);
    std::vector<std::string> expected = {
        "GameWrapper::IsInFreeplay []",
        "GameWrapper::IsInFreeplay []",
        "GameWrapper::GetGameEventAsServer []",
        "ServerWrapper::GetSecondsElapsed server []", // for the mean
        "ServerWrapper::GetSecondsElapsed server []", // for the stamp
    };
    append(expected, targetToBallRotationReads());
    append(expected, levelReads(5));
    append(expected,
           {"ActorWrapper::SetVelocity car [[0,0,0]]", "ActorWrapper::SetLocation car [[-1000,-2000,1000]]",
            "ServerWrapper::GetGameBalls server []", "ArrayWrapper::Get balls [0]",
            "ActorWrapper::GetAngularVelocity ball []", "ActorWrapper::SetAngularVelocity car [[1,2,3],false]",
            "ActorWrapper::SetRotation car [[100,200,300]]",
            "ActorWrapper::AddVelocity car [" + vectorText(added) + "]"});
    EXPECT_EQ(describeAll(host.trace), expected);
}

struct LevelCase {
    const char* level; // the text of volanko_throwlevel
    int reads;         // times the level is looked up and read
    Rotator rotation;  // what the car is turned to, from a ball at (100, 200, 300)
    Vector spin;       // the car's angular velocity afterwards, from a ball spinning at (1, 2, 3)
    float factor;      // of the velocity added; 0 for none
};

class ThrowLevels : public ResetAndThrow, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(ThrowLevels, TurnSpinAndThrow)
{
    const LevelCase& level = GetParam();
    setLocation("1000", "2000", "500");
    setLevel(level.level);
    host.trace.clear();
    hitAt(4);

    EXPECT_EQ(countOf(host.trace, "CVarWrapper::getStringValue"), static_cast<size_t>(level.reads));
    EXPECT_EQ(car().location.x, kWorkedStart.x);
    EXPECT_EQ(car().location.y, kWorkedStart.y);
    EXPECT_EQ(car().location.z, kWorkedStart.z);
    EXPECT_EQ(car().rotation.pitch, level.rotation.pitch);
    EXPECT_EQ(car().rotation.yaw, level.rotation.yaw);
    EXPECT_EQ(car().rotation.roll, level.rotation.roll);
    EXPECT_EQ(car().angularVelocity.x, level.spin.x);
    EXPECT_EQ(car().angularVelocity.y, level.spin.y);
    EXPECT_EQ(car().angularVelocity.z, level.spin.z);

    const auto adds = entriesOf(host.trace, "ActorWrapper::AddVelocity");
    if (level.factor == 0) {
        EXPECT_TRUE(adds.empty());
        EXPECT_EQ(car().velocity.x, 0) << "placed at rest";
        EXPECT_EQ(car().velocity.y, 0);
        EXPECT_EQ(car().velocity.z, 0);
    } else {
        ASSERT_EQ(adds.size(), 1u);
        const Vector expected = scaled(throwDirection(kWorkedTarget, kWorkedStart), level.factor);
        EXPECT_EQ(car().velocity.x, expected.x);
        EXPECT_EQ(car().velocity.y, expected.y);
        EXPECT_EQ(car().velocity.z, expected.z);
    }
    // Whatever the level, the spin is set, not added to.
    const auto spins = entriesOf(host.trace, "ActorWrapper::SetAngularVelocity");
    ASSERT_EQ(spins.size(), 1u);
    EXPECT_TRUE(spins[0]->args.ends_with(",false]"));
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, ThrowLevels,
                         ::testing::Values(LevelCase{"beginner", 1, {0, 200, 0}, {0, 0, 0}, 0},
                                           LevelCase{"easy", 2, {0, 200, 0}, {0, 0, 0}, 1000},
                                           LevelCase{"normal", 3, {0, 200, 300}, {0, 0, 0}, 1000},
                                           LevelCase{"hard", 4, {100, 200, 300}, {0, 0, 0}, 1000},
                                           LevelCase{"pro", 5, {100, 200, 300}, {1, 2, 3}, 1500}),
                         [](const auto& info) { return std::string(info.param.level); });

TEST_F(ResetAndThrow, ProThrowsOneAndAHalfTimesAsHardAsEasy)
{
    setLocation("1000", "2000", "500");
    setLevel("easy");
    hitAt(1);
    const Vector easy = car().velocity;
    setLevel("pro");
    hitAt(2);
    const Vector pro = car().velocity;
    EXPECT_FLOAT_EQ(pro.x, 1.5f * easy.x);
    EXPECT_FLOAT_EQ(pro.y, 1.5f * easy.y);
    EXPECT_EQ(pro.z, 0);
}

class UnknownLevel : public ResetAndThrow, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnknownLevel, LeavesTheCarAloneButStillResets)
{
    setLocation("1000", "2000", "500");
    setLevel(GetParam());
    host.trace.clear();
    hitAt(6);

    EXPECT_EQ(countOf(host.trace, "CVarWrapper::getStringValue"), 5u);
    EXPECT_EQ(countOf(host.trace, "ActorWrapper::GetRotation"), 1u) << "the ball's rotation is read anyway";
    EXPECT_TRUE(carCalls().empty()) << "no call on the car";
    EXPECT_EQ(car().velocity.x, 50);
    EXPECT_EQ(car().angularVelocity.x, 9);
    EXPECT_EQ(car().location.y, -4608);
    EXPECT_EQ(volanko().ballTarget.y, 2000);
    EXPECT_EQ(volanko().lastResetTime, 6.0f);
    EXPECT_EQ(volanko().currentStreak, 1);
}

INSTANTIATE_TEST_SUITE_P(CaseBlanksAndEmpty, UnknownLevel,
                         ::testing::Values("Easy", "easy ", " pro", "PRO", "Beginner", "hard\t", "", "expert"));

TEST_F(ResetAndThrow, ThrowSwitchOffLeavesCarBallAndLevelUnread)
{
    setLocation("1000", "2000", "500");
    ASSERT_TRUE(host.console.set("volanko_throwplayer", "0"));
    host.trace.clear();
    hitAt(8);

    std::vector<std::string> expected = {"GameWrapper::IsInFreeplay []", "GameWrapper::IsInFreeplay []",
                                         "GameWrapper::GetGameEventAsServer []",
                                         "ServerWrapper::GetSecondsElapsed server []"};
    append(expected, locationReads());
    append(expected, {R"(CVarManagerWrapper::getCvar ["volanko_throwplayer"])",
                      "CVarWrapper::getBoolValue volanko_throwplayer []"});
    EXPECT_EQ(describeAll(host.trace), expected);
    EXPECT_EQ(volanko().ballTarget.x, 1000);
    EXPECT_EQ(volanko().lastResetTime, 8.0f);
    EXPECT_EQ(car().velocity.z, 70) << "the car keeps its motion";
    EXPECT_EQ(car().angularVelocity.z, 9);
}

TEST_F(ResetAndThrow, OutsideFreeplayOrInactiveOnlyTheGuardRuns)
{
    fillDrillState(volanko());
    volanko().active = false;
    const DrillState inactive = drillState(volanko());
    hitAt(3);
    EXPECT_EQ(drillState(volanko()), inactive);
    EXPECT_EQ(describeAll(host.trace), (std::vector<std::string>{"GameWrapper::IsInFreeplay []"}));

    volanko().active = true;
    host.world.setFreeplay(false);
    const DrillState outside = drillState(volanko());
    host.trace.clear();
    hitAt(4);
    EXPECT_EQ(drillState(volanko()), outside);
    EXPECT_EQ(describeAll(host.trace), (std::vector<std::string>{"GameWrapper::IsInFreeplay []"}));
}

TEST_F(ResetAndThrow, FirstResetStampsTheTimeAndLeavesTheMean)
{
    volanko().averageTime = 2.5f;
    hitAt(7.25);
    EXPECT_EQ(volanko().averageTime, 2.5f);
    EXPECT_EQ(volanko().lastResetTime, 7.25f);
    EXPECT_EQ(countOf(host.trace, "ServerWrapper::GetSecondsElapsed"), 1u);
}

TEST_F(ResetAndThrow, WorkedMean)
{
    volanko().currentStreak = 2;
    volanko().averageTime = 3.0f;
    volanko().lastResetTime = 10.0f;
    hitAt(14);
    EXPECT_EQ(volanko().averageTime, (2.0f * 3.0f + 4.0f) / 3.0f);
    EXPECT_FLOAT_EQ(volanko().averageTime, 3.3333333f);
    EXPECT_EQ(volanko().lastResetTime, 14.0f);
    EXPECT_EQ(volanko().currentStreak, 3) << "raised by the hit, after the reset";
}

TEST_F(ResetAndThrow, MeanOverSeveralHits)
{
    float average = 0;
    float last = 0;
    int32_t streak = 0;
    for (const double clock : {2.0, 3.5, 4.25, 7.0, 7.125, 100.3, 100.35}) {
        const float now = static_cast<float>(clock);
        if (last != 0) {
            average = (static_cast<float>(streak) * average + (now - last)) / static_cast<float>(streak + 1);
        }
        last = now;
        ++streak;
        hitAt(clock);
        ASSERT_EQ(volanko().averageTime, average) << "at " << clock;
        ASSERT_EQ(volanko().lastResetTime, last);
        ASSERT_EQ(volanko().currentStreak, streak);
    }
}

TEST_F(ResetAndThrow, MeanCountsAreFloatsOfTheIntegers)
{
    // 2^24 + 1 is the first count a float cannot hold: the count rounds down, count + 1 does not.
    const int32_t streak = 16777217;
    volanko().currentStreak = streak;
    volanko().averageTime = 3.0f;
    volanko().lastResetTime = 1.0f;
    hitAt(2);
    const float expected = (static_cast<float>(streak) * 3.0f + 1.0f) / static_cast<float>(streak + 1);
    EXPECT_EQ(volanko().averageTime, expected);

    // The case tells the single-precision rule from its near misses.
    const float inDouble = static_cast<float>((static_cast<double>(streak) * 3.0 + 1.0) / (streak + 1.0));
    const float addedAfter = (static_cast<float>(streak) * 3.0f + 1.0f) / (static_cast<float>(streak) + 1.0f);
    EXPECT_NE(expected, inDouble);
    EXPECT_NE(expected, addedAfter);
}

TEST_F(ResetAndThrow, RangesAreDrawnAfreshOnEveryRead)
{
    // The variables keep their registered ranges; every read draws.
    for (int throwNumber = 0; throwNumber < 20; ++throwNumber) {
        host.trace.clear();
        hitAt(1.0 + throwNumber);
        const std::vector<float> reads = floatReads(host.trace);
        ASSERT_EQ(reads.size(), 6u);
        const auto floatEntries = entriesOf(host.trace, "CVarWrapper::getFloatValue");
        const char* order[] = {"volanko_balllocation_z", "volanko_balllocation_y", "volanko_balllocation_x"};
        for (size_t i = 0; i < 6; ++i) {
            ASSERT_EQ(floatEntries[i]->self, order[i % 3]);
        }

        const Vector target = volanko().ballTarget;
        EXPECT_EQ(target.x, reads[2]);
        EXPECT_EQ(target.y, reads[1]);
        EXPECT_EQ(target.z, reads[0]);
        EXPECT_FALSE(reads[0] == reads[3] && reads[1] == reads[4] && reads[2] == reads[5])
            << "the start must come from reads of its own";

        const auto placed = entriesOf(host.trace, "ActorWrapper::SetLocation");
        ASSERT_EQ(placed.size(), 1u);
        const Vector start = vectorArg(*placed[0]);
        EXPECT_EQ(start.x, startCoordinate(reads[5], 3000, target.x));
        EXPECT_EQ(start.y, startCoordinate(reads[4], 2500, target.y));
        EXPECT_EQ(start.z, std::max(reads[3], 1000.0f));
    }
}

struct StartCase {
    const char* name;      // names the test case
    const char* target[3]; // x, y, z of the first reads: the ball target
    const char* reads[3];  // x, y, z of the second reads: the car's start before limits
    Vector start;          // where the car is put
};

class StartPosition : public ResetAndThrow, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartPosition, LimitedThenMirrored)
{
    const StartCase& c = GetParam();
    setLocation(c.target[0], c.target[1], c.target[2]);
    switchLocationAfter(3, c.reads[0], c.reads[1], c.reads[2]);
    hitAt(2);

    const auto placed = entriesOf(host.trace, "ActorWrapper::SetLocation");
    ASSERT_EQ(placed.size(), 1u);
    const Vector start = vectorArg(*placed[0]);
    EXPECT_EQ(start.x, c.start.x);
    EXPECT_EQ(start.y, c.start.y);
    EXPECT_EQ(start.z, c.start.z);
    // A zero is never mirrored, so it never turns into -0 either.
    EXPECT_EQ(std::signbit(start.x), std::signbit(c.start.x));
    EXPECT_EQ(std::signbit(start.y), std::signbit(c.start.y));
    EXPECT_EQ(host.world.car()->location.x, c.start.x);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartPosition,
    ::testing::Values(
        StartCase{"ClampedThenMirrored", {"3500", "100", "500"}, {"3500", "-2600", "1200"}, {-3000, -2500, 1200}},
        StartCase{"BothNegative", {"-100", "-200", "500"}, {"-2000", "-1000", "999.5"}, {2000, 1000, 1000}},
        StartCase{"BothPositive", {"100", "200", "500"}, {"2000", "1000", "1000"}, {-2000, -1000, 1000}},
        StartCase{"OppositeSides", {"-100", "200", "500"}, {"2000", "-1000", "1900"}, {2000, -1000, 1900}},
        StartCase{"TargetOnZero", {"0", "0", "500"}, {"700", "-700", "100"}, {700, -700, 1000}},
        StartCase{"StartOnZero", {"500", "-500", "500"}, {"0", "0", "500"}, {0, 0, 1000}},
        StartCase{"ClampedOnBothAxes", {"-3500", "3900", "500"}, {"-4000", "3000", "500"}, {3000, -2500, 1000}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResetAndThrow, TargetAboveTheStartThrowsUpwards)
{
    setLevel("easy");
    setLocation("1000", "2000", "1900");
    switchLocationAfter(3, "1000", "2000", "1000");
    hitAt(2);
    const Vector target{1000, 2000, 1900};
    const Vector start{-1000, -2000, 1000};
    const Vector expected = scaled(throwDirection(target, start), 1000);
    EXPECT_GT(expected.z, 0);
    EXPECT_EQ(car().velocity.x, expected.x);
    EXPECT_EQ(car().velocity.y, expected.y);
    EXPECT_EQ(car().velocity.z, expected.z);
}

class ZeroLengthThrow : public ResetAndThrow, public ::testing::WithParamInterface<const char*> {};

TEST_P(ZeroLengthThrow, PlacesTheCarAndAddsNothing)
{
    setLocation("0", "0", "1000");
    setLevel(GetParam());
    hitAt(3);
    EXPECT_EQ(countOf(host.trace, "ActorWrapper::AddVelocity"), 0u);
    EXPECT_EQ(countOf(host.trace, "ActorWrapper::SetRotation"), 1u);
    EXPECT_EQ(car().location.x, 0);
    EXPECT_EQ(car().location.y, 0);
    EXPECT_EQ(car().location.z, 1000);
    EXPECT_EQ(car().velocity.x, 0);
    EXPECT_EQ(car().velocity.y, 0);
    EXPECT_EQ(car().velocity.z, 0);
    EXPECT_EQ(host.faults.nonFiniteCalls, 0u);
}

INSTANTIATE_TEST_SUITE_P(ThrowingLevels, ZeroLengthThrow, ::testing::Values("easy", "normal", "hard", "pro"));

// After the car steps are skipped, the times, the mean and the target are as after a full reset.
class MissingActor : public ResetAndThrow {
protected:
    void hitAndExpectReset()
    {
        setLocation("1000", "2000", "500");
        setLevel("easy");
        volanko().currentStreak = 1;
        volanko().averageTime = 2.0f;
        volanko().lastResetTime = 3.0f;
        host.trace.clear();
        hitAt(5);
        EXPECT_EQ(volanko().averageTime, (1.0f * 2.0f + 2.0f) / 2.0f);
        EXPECT_EQ(volanko().lastResetTime, 5.0f);
        EXPECT_EQ(volanko().ballTarget.y, 2000);
        EXPECT_EQ(volanko().currentStreak, 2);
    }
};

TEST_F(MissingActor, EmptyCarListSkipsTheCarSteps)
{
    ASSERT_TRUE(host.world.remove(host::ActorKind::Car));
    hitAndExpectReset();
    const std::vector<std::string> calls = describeAll(host.trace);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "ArrayWrapper::Get cars [0]");
    EXPECT_EQ(calls.back(), "ActorWrapper::IsNull null []");
    EXPECT_EQ(host.trace.entries.back().result, "true");
    EXPECT_EQ(floatReads(host.trace).size(), 3u) << "no second reads for a start that is not used";
}

TEST_F(MissingActor, CarListWhoseFirstEntryIsGoneSkipsTheCarSteps)
{
    host.world.cars.insert(host.world.cars.begin(), 999999);
    hitAndExpectReset();
    EXPECT_EQ(host.trace.entries.back().call, std::string("ActorWrapper::IsNull"));
    EXPECT_EQ(host.trace.entries.back().result, "true");
    EXPECT_EQ(countOf(host.trace, "ServerWrapper::GetGameBalls"), 0u);
}

TEST_F(MissingActor, EmptyBallListLeavesTheCarUntouched)
{
    ASSERT_TRUE(host.world.remove(host::ActorKind::Ball));
    hitAndExpectReset();
    const std::vector<std::string> calls = describeAll(host.trace);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3], "ServerWrapper::GetGameBalls server []");
    EXPECT_EQ(calls[calls.size() - 2], "ArrayWrapper::Get balls [0]");
    EXPECT_EQ(calls.back(), "ActorWrapper::IsNull null []");
    EXPECT_TRUE(carCalls().empty());
    EXPECT_EQ(car().velocity.x, 50);
    EXPECT_EQ(car().location.y, -4608);
}

} // namespace
