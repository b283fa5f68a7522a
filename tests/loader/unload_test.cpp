// Unloading runs onUnload, takes back everything the plug-in registered, and closes the library;
// loading again starts from scratch.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Volanko/Volanko.h"
#include "host.h"
#include "library_state.h"

namespace {

class Unload : public ::testing::Test {
protected:
    Volanko& volanko(uint32_t id) { return static_cast<Volanko&>(*host.findPlugin(id)->plugin); }

    host::Host host{1};
};

TEST_F(Unload, RunsOnUnloadThenRemovesWhatThePluginRegistered)
{
    const host::LoadResult loaded = host.load(LOADER_PROBE_PATH);
    ASSERT_TRUE(loaded) << loaded.error;
    host.fireEvent(host::kBallHitEvent);
    host.drawFrame();
    EXPECT_TRUE(host.runCommand({"probe_command"}));
    EXPECT_EQ(host.console.log,
              (std::vector<std::string>{"probe: onLoad", "probe: hit", "probe: frame", "probe: command"}));

    ASSERT_TRUE(host.unload(loaded.plugin));
    EXPECT_EQ(host.console.log.back(), "probe: onUnload");
    EXPECT_FALSE(libraryIsOpen(LOADER_PROBE_PATH));
    EXPECT_EQ(host.findPlugin(loaded.plugin), nullptr);

    const size_t lines = host.console.log.size();
    host.fireEvent(host::kBallHitEvent);
    host.drawFrame();
    EXPECT_FALSE(host.runCommand({"probe_command"}));
    EXPECT_EQ(host.console.log.size(), lines);
    EXPECT_FALSE(host.unload(loaded.plugin));
    EXPECT_TRUE(host.faults.reports.empty());
}

TEST_F(Unload, VolankoLeavesNothingThatStillRuns)
{
    const int64_t baseline = host.wrappersAlive();
    const host::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
    ASSERT_TRUE(loaded) << loaded.error;
    host.world.setFreeplay(true);
    ASSERT_TRUE(host.runCommand({"volanko_start"}));
    host.world.car()->contact = host::Contact::Air;
    host.drawFrame();
    host.fireEvent(host::kBallHitEvent);
    ASSERT_EQ(volanko(loaded.plugin).currentStreak, 1);

    ASSERT_TRUE(host.unload(loaded.plugin));
    EXPECT_TRUE(host.hooks.empty());
    EXPECT_TRUE(host.drawables.empty());
    EXPECT_TRUE(host.console.notifiers.empty());
    EXPECT_EQ(host.console.cvars.size(), 5u) << "variables and their values outlive the plug-in";
    EXPECT_FALSE(libraryIsOpen(VOLANKO_PLUGIN_PATH));
    EXPECT_EQ(host.wrappersAlive(), baseline);

    // The drill would move the ball and the car, draw, and switch on: none of it happens now.
    host.world.ball()->location = {1, 2, 3};
    host.world.ball()->velocity = {4, 5, 6};
    host.world.car()->location = {7, 8, 9};
    host.world.car()->contact = host::Contact::Ground;
    host.trace.on = true;
    host.fireEvent(host::kBallHitEvent);
    host.drawFrame();
    EXPECT_FALSE(host.runCommand({"volanko_start"}));
    EXPECT_FALSE(host.runCommand({"volanko_stop"}));
    EXPECT_TRUE(host.trace.entries.empty());
    EXPECT_TRUE(host.canvas.draws().empty());
    EXPECT_EQ(host.world.ball()->location.x, 1);
    EXPECT_EQ(host.world.ball()->velocity.z, 6);
    EXPECT_EQ(host.world.car()->location.z, 9);
    EXPECT_TRUE(host.faults.reports.empty());
}

TEST_F(Unload, FiftyCyclesLeaveNoWrapperAndNoRegistrationBehind)
{
    const int64_t baseline = host.wrappersAlive();
    host.world.setFreeplay(true);
    for (int cycle = 0; cycle < 50; ++cycle) {
        const host::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
        ASSERT_TRUE(loaded) << "cycle " << cycle << ": " << loaded.error;
        ASSERT_EQ(host.hooks.size(), 1u);
        ASSERT_EQ(host.drawables.size(), 1u);
        ASSERT_EQ(host.console.notifiers.size(), 2u);
        ASSERT_EQ(host.console.cvars.size(), 5u);

        // A fresh object each time, although the last one ended with a run and a streak.
        const Volanko& fresh = volanko(loaded.plugin);
        ASSERT_FALSE(fresh.active) << "cycle " << cycle;
        ASSERT_EQ(fresh.currentStreak, 0);
        ASSERT_EQ(fresh.bestStreak, 0);
        ASSERT_EQ(fresh.lastResetTime, 0.0f);
        ASSERT_FALSE(fresh.airborne);

        host.world.clock = cycle + 1.0;
        host.world.car()->contact = host::Contact::Air;
        ASSERT_TRUE(host.runCommand({"volanko_start"}));
        host.drawFrame();
        host.fireEvent(host::kBallHitEvent);
        host.world.car()->contact = host::Contact::Ground;
        host.drawFrame();
        ASSERT_EQ(volanko(loaded.plugin).bestStreak, 1);

        ASSERT_TRUE(host.unload(loaded.plugin));
        ASSERT_EQ(host.wrappersAlive(), baseline) << "cycle " << cycle;
        ASSERT_TRUE(host.hooks.empty());
        ASSERT_TRUE(host.drawables.empty());
        ASSERT_TRUE(host.console.notifiers.empty());
        ASSERT_TRUE(host.plugins.empty());
    }
    EXPECT_EQ(host.console.cvars.size(), 5u);
    EXPECT_EQ(host.console.repeatedRegistrations, 49u * 5u) << "each reload finds its variables in place";
    EXPECT_TRUE(host.faults.reports.empty());
}

TEST_F(Unload, HostDestructorUnloadsWhatIsStillLoaded)
{
    {
        host::Host scoped{2};
        ASSERT_TRUE(scoped.load(VOLANKO_PLUGIN_PATH));
        ASSERT_TRUE(scoped.load(LOADER_PROBE_PATH));
        EXPECT_TRUE(libraryIsOpen(VOLANKO_PLUGIN_PATH));
    }
    EXPECT_FALSE(libraryIsOpen(VOLANKO_PLUGIN_PATH));
    EXPECT_FALSE(libraryIsOpen(LOADER_PROBE_PATH));
}

} // namespace
