#pragma once
// A host with the built Volanko library loaded into it, as the game's host would load it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Volanko/Volanko.h"
#include "host.h"

class LoadedVolanko : public ::testing::Test {
protected:
    void SetUp() override
    {
        beforeLoad();
        const host::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
        ASSERT_TRUE(loaded) << loaded.error;
        id = loaded.plugin;
    }

    void TearDown() override
    {
        if (id != 0) {
            host.unload(id);
        }
    }

    // Runs before the library is loaded, e.g. to switch the trace on for onLoad.
    virtual void beforeLoad() {}

    // The plug-in object inside the loaded library. Only its fields are read or set here.
    Volanko& volanko() { return static_cast<Volanko&>(*host.findPlugin(id)->plugin); }

    void command(const std::string& name) { host.runCommand({name}); }
    void hit() { host.fireEvent(host::kBallHitEvent); }

    // Free play on, drill on; the trace and the log start empty.
    void startDrill()
    {
        host.world.setFreeplay(true);
        command("volanko_start");
        host.trace.clear();
    }

    // The calls traced since the trace was switched on (or cleared), one name each.
    std::vector<std::string> calls() const { return host.trace.calls(); }

    host::Host host{1};
    uint32_t id = 0;
};
