// Plug-ins that misbehave at run time are caught and reported; the host and the other plug-ins
// keep running.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "broken_plugin_path.h"
#include "host.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

class Faults : public ::testing::Test {
protected:
    uint32_t load(const std::string& path)
    {
        const host::LoadResult loaded = host.load(path);
        EXPECT_TRUE(loaded) << loaded.error;
        return loaded.plugin;
    }

    // Volanko, loaded beside the broken one, still draws its four lines every frame.
    void expectVolankoStillDraws()
    {
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
    host.world.setFreeplay(true);
    const uint32_t broken = load(brokenPlugin("keeps_wrapper"));
    load(VOLANKO_PLUGIN_PATH);
    host.runCommand({"volanko_start"});
    // Each loaded plug-in holds its two host handles.
    const int64_t baseline = host.wrappersAlive();

    for (int frame = 0; frame < 3; ++frame) {
        host.drawFrame();
        expectVolankoStillDraws();
    }
    EXPECT_EQ(host.faults.keptWrappers, 3u);
    ASSERT_EQ(host.faults.reports.size(), 3u);
    const std::string line = "plug-in " + std::to_string(broken) + ": drawable returned still holding 1 wrapper";
    EXPECT_EQ(host.faults.reports[0], line);
    EXPECT_EQ(host.faults.reports[2], line);
    EXPECT_EQ(host.wrappersAlive(), baseline + 3);

    EXPECT_TRUE(host.unload(broken));
    EXPECT_EQ(host.wrappersAlive(), baseline - 2);
    host.drawFrame();
    EXPECT_EQ(host.faults.keptWrappers, 3u);
    expectVolankoStillDraws();
}

TEST_F(Faults, NonFiniteLocationIsRefusedAndTheBallStays)
{
    host.world.setFreeplay(true);
    load(brokenPlugin("hands_nan"));
    host.world.ball()->location = {10, 20, 300};

    host.fireEvent(host::kBallHitEvent);
    host.fireEvent(host::kBallHitEvent);
    EXPECT_EQ(host.faults.nonFiniteCalls, 2u);
    EXPECT_THAT(host.faults.reports,
                Contains("ActorWrapper::SetLocation was handed a number that is not finite; refused"));
    EXPECT_EQ(host.world.ball()->location.x, 10);
    EXPECT_EQ(host.world.ball()->location.z, 300);
    EXPECT_EQ(host.faults.keptWrappers, 0u);
}

TEST_F(Faults, ExceptionIsCaughtAndTheNextDrawableStillRuns)
{
    host.world.setFreeplay(true);
    const uint32_t broken = load(brokenPlugin("throws"));
    load(VOLANKO_PLUGIN_PATH);
    host.runCommand({"volanko_start"});

    host.drawFrame();
    expectVolankoStillDraws();
    host.drawFrame();
    expectVolankoStillDraws();
    EXPECT_EQ(host.faults.callbackExceptions, 2u);
    ASSERT_FALSE(host.faults.reports.empty());
    EXPECT_EQ(host.faults.reports.front(),
              "plug-in " + std::to_string(broken) + ": drawable threw: the broken drawable gave up");
    EXPECT_TRUE(host.unload(broken));
}

TEST_F(Faults, CallIntoAMissingCameraIsCountedNotFollowed)
{
    host.world.setFreeplay(true);
    load(brokenPlugin("null_call"));

    host.drawFrame();
    EXPECT_EQ(host.faults.nullCalls, 0u) << "with a camera the call is fine";
    EXPECT_EQ(host.world.find(host.world.camera)->location.z, 500);

    ASSERT_TRUE(host.world.remove(host::ActorKind::Camera));
    host.drawFrame();
    host.drawFrame();
    EXPECT_EQ(host.faults.nullCalls, 2u);
    EXPECT_THAT(host.faults.reports, Contains("ActorWrapper::SetLocation was called on a wrapper that holds nothing"));
    EXPECT_EQ(host.faults.keptWrappers, 0u);
}

TEST_F(Faults, CrashingPluginIsLoadedButTakesTheProcessDown)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const uint32_t crashes = load(brokenPlugin("crashes"));
    EXPECT_NE(crashes, 0u) << "nothing in the library itself tells the loader it will crash";
    host.world.setFreeplay(true);
    EXPECT_DEATH(host.fireEvent(host::kBallHitEvent), "");
    EXPECT_DEATH(host.runCommand({"broken_crash"}), "");
}

} // namespace
