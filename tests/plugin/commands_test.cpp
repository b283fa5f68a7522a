// The start and stop commands, the ball-hit reaction and the drill guard.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "drill_state.h"
#include "fault_free_volanko.h"
#include "trace_reading.h"

namespace {

using trace_reading::describeAll;

constexpr const char* kFreeplayLine = "You need to be in freeplay to use this plugin.";
constexpr int32_t kMaxStreak = std::numeric_limits<int32_t>::max();

class Commands : public FaultFreeVolanko {
protected:
    void SetUp() override
    {
        FaultFreeVolanko::SetUp();
        host.trace.on = true;
    }
};

TEST_F(Commands, StartOutsideFreeplayLogsOncePerCallAndStaysOff)
{
    command("volanko_start");
    command("volanko_start");
    EXPECT_FALSE(volanko().active);
    EXPECT_EQ(host.console.log, (std::vector<std::string>{kFreeplayLine, kFreeplayLine}));
    const std::vector<std::string> once = {
        "GameWrapper::IsInFreeplay []",
        R"(CVarManagerWrapper::log ["You need to be in freeplay to use this plugin."])"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(describeAll(host.trace), twice);
}

TEST_F(Commands, StartInFreeplaySwitchesOnAndTouchesNothingElse)
{
    host.world.setFreeplay(true);
    fillDrillState(volanko());
    host.world.car()->velocity = {1, 2, 3};
    host.world.ball()->location = {4, 5, 6};
    DrillState expected = drillState(volanko());
    expected.active = true;

    command("volanko_start");
    EXPECT_EQ(drillState(volanko()), expected);
    EXPECT_EQ(describeAll(host.trace), (std::vector<std::string>{"GameWrapper::IsInFreeplay []"}));
    EXPECT_EQ(host.world.car()->velocity.z, 3);
    EXPECT_EQ(host.world.ball()->location.z, 6);
    EXPECT_TRUE(host.console.log.empty());
}

TEST_F(Commands, StartWhileActiveAndStopWhileInactiveChangeNothing)
{
    host.world.setFreeplay(true);
    fillDrillState(volanko());
    volanko().active = true;
    const DrillState on = drillState(volanko());
    command("volanko_start");
    EXPECT_EQ(drillState(volanko()), on);

    volanko().active = false;
    const DrillState off = drillState(volanko());
    host.trace.clear();
    command("volanko_stop");
    EXPECT_EQ(drillState(volanko()), off);
    EXPECT_TRUE(host.trace.entries.empty()) << "stop asks the host nothing";
}

TEST_F(Commands, StopThenStartKeepsStreaksTimesAndBanner)
{
    host.world.setFreeplay(true);
    command("volanko_start");
    fillDrillState(volanko());
    const DrillState before = drillState(volanko());
    command("volanko_stop");
    EXPECT_FALSE(volanko().active);
    command("volanko_start");
    EXPECT_EQ(drillState(volanko()), before);
}

TEST_F(Commands, ArgumentsAreIgnored)
{
    host.world.setFreeplay(true);
    host.runCommand({"volanko_start", "0", "off"});
    EXPECT_TRUE(volanko().active);
    host.runCommand({"volanko_stop", "1", "on"});
    EXPECT_FALSE(volanko().active);
}

TEST_F(Commands, HitWhileInactiveOnlyAsksForFreeplay)
{
    host.world.setFreeplay(true);
    fillDrillState(volanko());
    const DrillState before = drillState(volanko());
    hit();
    EXPECT_EQ(drillState(volanko()), before);
    EXPECT_EQ(describeAll(host.trace), (std::vector<std::string>{"GameWrapper::IsInFreeplay []"}));
}

TEST_F(Commands, HitOutsideFreeplayOnlyAsksForFreeplay)
{
    fillDrillState(volanko());
    volanko().active = true;
    const DrillState before = drillState(volanko());
    hit();
    EXPECT_EQ(drillState(volanko()), before);
    EXPECT_EQ(describeAll(host.trace), (std::vector<std::string>{"GameWrapper::IsInFreeplay []"}));
}

TEST_F(Commands, HitsInARowCountAndBestFollowsOnceExceeded)
{
    startDrill();
    volanko().bestStreak = 3;
    const int32_t expectedBest[] = {3, 3, 3, 4, 5};
    for (int32_t n = 1; n <= 5; ++n) {
        host.world.clock = n;
        hit();
        EXPECT_EQ(volanko().currentStreak, n);
        EXPECT_EQ(volanko().bestStreak, expectedBest[n - 1]);
        EXPECT_EQ(volanko().lastResetTime, static_cast<float>(n)) << "each counted hit also resets";
    }
}

TEST_F(Commands, NegativeBestIsExceededBySignedComparison)
{
    startDrill();
    volanko().bestStreak = -5;
    volanko().currentStreak = -10;
    hit();
    EXPECT_EQ(volanko().currentStreak, -9);
    EXPECT_EQ(volanko().bestStreak, -5);
    volanko().currentStreak = -5;
    hit();
    EXPECT_EQ(volanko().bestStreak, -4);
}

TEST_F(Commands, StreaksSaturateAtTheLargestInt32)
{
    startDrill();
    volanko().currentStreak = kMaxStreak - 1;
    volanko().bestStreak = kMaxStreak - 1;
    hit();
    EXPECT_EQ(volanko().currentStreak, kMaxStreak);
    EXPECT_EQ(volanko().bestStreak, kMaxStreak);
    hit();
    hit();
    EXPECT_EQ(volanko().currentStreak, kMaxStreak);
    EXPECT_EQ(volanko().bestStreak, kMaxStreak);

    volanko().bestStreak = 5;
    hit();
    EXPECT_EQ(volanko().currentStreak, kMaxStreak);
    EXPECT_EQ(volanko().bestStreak, kMaxStreak);
}

TEST_F(Commands, SaturatedStreakStillFoldsTheMeanInSinglePrecision)
{
    startDrill();
    volanko().currentStreak = kMaxStreak;
    volanko().averageTime = 2.0f;
    volanko().lastResetTime = 1.0f;
    host.world.clock = 3.0;
    hit();
    // Both counts round to 2^31 as floats: the mean barely moves and stays finite.
    const float count = static_cast<float>(kMaxStreak);
    const float expected = (count * 2.0f + 2.0f) / 2147483648.0f;
    EXPECT_EQ(volanko().averageTime, expected);
    EXPECT_EQ(volanko().currentStreak, kMaxStreak);
}

} // namespace
