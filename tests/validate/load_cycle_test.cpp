// The built plug-in loaded and unloaded 200 times in one host and one process. In the sanitizer
// build the leak checker runs when the program ends, so a byte left behind by any cycle fails it.

#include <gtest/gtest.h>

#include "host.h"

namespace {

TEST(LoadCycles, TwoHundredCyclesLeaveNothingBehind)
{
    host::Host host(1);
    host.world.setFreeplay(true);
    for (int cycle = 1; cycle <= 200; ++cycle) {
        const host::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
        ASSERT_TRUE(loaded) << "cycle " << cycle << ": " << loaded.error;
        // Some of everything the plug-in does, so that each cycle allocates as in a game.
        host.runCommand({"volanko_start"});
        host.world.car()->contact = host::Contact::Air;
        for (int frame = 0; frame < 3; ++frame) {
            host.drawFrame();
        }
        host.fireEvent(host::kBallHitEvent);
        ASSERT_TRUE(host.unload(loaded.plugin));
        ASSERT_EQ(host.wrappersAlive(), 0) << "cycle " << cycle;
        ASSERT_TRUE(host.hooks.empty() && host.drawables.empty() && host.console.notifiers.empty())
            << "cycle " << cycle;
        ASSERT_EQ(host.console.cvars.size(), 5u) << "cycle " << cycle;
        host.world.car()->contact = host::Contact::Ground;
    }
    EXPECT_EQ(host.faults.reports, std::vector<std::string>{});
}

} // namespace
