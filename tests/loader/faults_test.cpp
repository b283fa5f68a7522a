// Plug-ins that misbehave at run time are caught and reported; the host and the other plug-ins
// keep running.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "broken_plugin_path.h"
#include "host.h"

namespace {

using Lines = std::vector<std::string>;

class Faults : public ::testing::Test {
protected:
    // Loads the broken library `name`, then Volanko beside it with the drill on.
    uint32_t loadBesideVolanko(const std::string& name)
    {
        host.world.setFreeplay(true);
        const host::LoadResult broken = host.load(brokenPlugin(name));
        EXPECT_TRUE(broken) << broken.error;
        EXPECT_TRUE(host.load(VOLANKO_PLUGIN_PATH));
        host.runCommand({"volanko_start"});
        return broken.plugin;
    }

    // Volanko still draws its lines every frame.
    void drawAndExpectVolanko()
    {
        host.drawFrame();
        size_t lines = 0;
        for (const host::CanvasDraw& draw : host.canvas.draws()) {
            lines += draw.text.starts_with("Current Time: ") ? 1 : 0;
        }
        EXPECT_EQ(lines, 1u);
    }

    host::Host host{1};
};

TEST_F(Faults, KeptWrapperIsReportedOncePerFrameAndReleasedAtUnload)
{
    const uint32_t broken = loadBesideVolanko("keeps_wrapper");
    const int64_t handles = host.wrappersAlive(); // each plug-in holds its two host handles
    drawAndExpectVolanko();
    drawAndExpectVolanko();
    const std::string line = "plug-in " + std::to_string(broken) + ": drawable returned still holding 1 wrapper";
    EXPECT_EQ(host.faults.reports, (Lines{line, line}));
    EXPECT_EQ(host.faults.keptWrappers, 2u);
    EXPECT_EQ(host.wrappersAlive(), handles + 2);
    EXPECT_TRUE(host.unload(broken));
    EXPECT_EQ(host.wrappersAlive(), handles - 2);
}

TEST_F(Faults, NonFiniteLocationIsRefusedAndTheBallStays)
{
    loadBesideVolanko("hands_nan");
    host.world.ball()->location = {10, 20, 300};
    host.runCommand({"volanko_stop"});
    host.fireEvent(host::kBallHitEvent);
    EXPECT_EQ(host.faults.nonFiniteCalls, 1u);
    EXPECT_EQ(host.faults.reports,
              (Lines{"ActorWrapper::SetLocation was handed a number that is not finite; refused"}));
    EXPECT_EQ(host.world.ball()->location.x, 10);
}

TEST_F(Faults, ExceptionIsCaughtAndTheNextDrawableStillRuns)
{
    const uint32_t broken = loadBesideVolanko("throws");
    drawAndExpectVolanko();
    drawAndExpectVolanko();
    EXPECT_EQ(host.faults.callbackExceptions, 2u);
    EXPECT_EQ(host.faults.reports[0],
              "plug-in " + std::to_string(broken) + ": drawable threw: the broken drawable gave up");
}

TEST_F(Faults, CallIntoAMissingCameraIsCountedNotFollowed)
{
    loadBesideVolanko("null_call");
    drawAndExpectVolanko();
    EXPECT_EQ(host.world.find(host.world.camera)->location.z, 500) << "with a camera the call is fine";
    ASSERT_TRUE(host.world.remove(host::ActorKind::Camera));
    host.drawFrame();
    EXPECT_EQ(host.faults.nullCalls, 1u);
    EXPECT_EQ(host.faults.reports, (Lines{"ActorWrapper::SetLocation was called on a wrapper that holds nothing"}));
}

TEST_F(Faults, CrashingPluginIsLoadedButTakesTheProcessDown)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_TRUE(host.load(brokenPlugin("crashes"))) << "nothing in the library itself tells the loader it will crash";
    host.world.setFreeplay(true);
    EXPECT_DEATH(host.fireEvent(host::kBallHitEvent), "");
    EXPECT_DEATH(host.runCommand({"broken_crash"}), "");
}

} // namespace
