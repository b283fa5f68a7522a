// The start and stop commands, the ball-hit reaction and the drill guard.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/volanko_fixture.h"

namespace {

struct SwitchCase {
    bool freeplay;    // the game's
    bool active;      // the drill's, before
    Lines words;      // the command as typed, or "hit" for a ball hit
    bool activeAfter; // the drill's, after
    Lines hostCalls;  // everything the command asks of the host
};

class Switch : public VolankoTest, public ::testing::WithParamInterface<SwitchCase> {};

// A command changes `active` and nothing else; a hit outside free play or with the drill off
// changes nothing at all.
TEST_P(Switch, ChangesActiveAndNothingElse)
{
    const SwitchCase& c = GetParam();
    host.driveWorld().setFreeplay(c.freeplay);
    fillFields();
    volanko().active = c.active;
    auto expected = fields();
    std::get<0>(expected) = c.activeAfter;
    host.clearTrace();
    if (c.words[0] == "hit") {
        hitAt(20);
    } else {
        host.runCommand(c.words);
    }
    EXPECT_EQ(fields(), expected);
    EXPECT_EQ(calls(), c.hostCalls);
}

const Lines kRefused = {"GameWrapper::IsInFreeplay []",
                        R"(CVarManagerWrapper::log ["You need to be in freeplay to use this plugin."])"};

INSTANTIATE_TEST_SUITE_P(
    Cases, Switch,
    ::testing::Values(SwitchCase{false, false, {"volanko_start"}, false, kRefused},
                      SwitchCase{false, true, {"volanko_start"}, true, kRefused},
                      SwitchCase{true, false, {"volanko_start", "0", "off"}, true, {"GameWrapper::IsInFreeplay []"}},
                      SwitchCase{true, true, {"volanko_start"}, true, {"GameWrapper::IsInFreeplay []"}},
                      SwitchCase{true, true, {"volanko_stop", "1", "on"}, false, {}},
                      SwitchCase{true, false, {"volanko_stop"}, false, {}},
                      SwitchCase{false, true, {"volanko_stop"}, false, {}},
                      SwitchCase{false, true, {"hit"}, true, {"GameWrapper::IsInFreeplay []"}},
                      SwitchCase{true, false, {"hit"}, false, {"GameWrapper::IsInFreeplay []"}}));

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct StreakCase {
    int32_t current, best;           // before the hit
    int32_t currentAfter, bestAfter; // after it
};

class Streak : public VolankoTest, public ::testing::WithParamInterface<StreakCase> {};

// The best follows the current streak once it is exceeded, by a signed comparison; both stop at
// the largest int32 rather than wrap.
TEST_P(Streak, EachHitCountsAndResets)
{
    startDrill();
    volanko().currentStreak = GetParam().current;
    volanko().bestStreak = GetParam().best;
    hitAt(3);
    EXPECT_EQ(volanko().currentStreak, GetParam().currentAfter);
    EXPECT_EQ(volanko().bestStreak, GetParam().bestAfter);
    EXPECT_EQ(volanko().lastResetTime, 3.0f) << "a counted hit also resets";
}

INSTANTIATE_TEST_SUITE_P(Cases, Streak,
                         ::testing::Values(StreakCase{0, 3, 1, 3}, StreakCase{2, 3, 3, 3}, StreakCase{3, 3, 4, 4},
                                           StreakCase{-10, -5, -9, -5}, StreakCase{-5, -5, -4, -4},
                                           StreakCase{kMax - 1, kMax - 1, kMax, kMax},
                                           StreakCase{kMax, kMax, kMax, kMax}, StreakCase{kMax, 5, kMax, kMax}));

} // namespace
