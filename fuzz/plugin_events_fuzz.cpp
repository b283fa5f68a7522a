// The plug-in under event sequences read from the fuzzer's bytes: the same attacks as the
// validator's hostile rounds, with the same invariants after each. The library is loaded once per
// process, so the plug-in's state carries from input to input as it does in a long game.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "choice_source.h"
#include "host.h"
#include "host_invariants.h"
#include "hostile_attacks.h"
#include "process_locale.h"
#include "world_motion.h"

namespace {

// At most this many attacks per input, so that one input cannot run for long.
constexpr int kMostAttacks = 64;

struct Loaded {
    host::Host host{1};
    uint32_t plugin = 0;
    ProcessLocale locale;
    std::vector<std::pair<std::string, std::string>> defaults; // each variable and its first value

    Loaded()
    {
        useNamedLocale();
        locale = currentLocale();
        const host::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
        if (!loaded) {
            std::fprintf(stderr, "cannot load the plug-in: %s\n", loaded.error.c_str());
            std::abort();
        }
        plugin = loaded.plugin;
        for (const host::CVar& cvar : host.console.cvars) {
            defaults.emplace_back(cvar.name, cvar.value);
        }
    }

    // The host back to a known start; the plug-in keeps its own state.
    void reset()
    {
        host.world.setFreeplay(false);
        host.world.clock = 0;
        host.console.hostile = host::HostileReads::Off;
        host.canvas.size = {1920, 1080};
        host.trace.on = false;
        host.trace.clear();
        host.console.log.clear();
        host.console.messages.clear();
        for (const auto& [name, value] : defaults) {
            host.console.set(name, value);
        }
    }
};

Loaded& loaded()
{
    static Loaded instance;
    return instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Loaded& state = loaded();
    state.reset();
    ByteChoices choices(data, size);
    WorldMotion motion;
    state.host.world.setFreeplay(choices.chance(80));
    std::string description;
    for (int step = 0; step < kMostAttacks && !choices.exhausted(); ++step) {
        attack(state.host, motion, choices, description);
        auto broken = brokenInvariant(state.host);
        if (!broken) {
            broken = localeChange(state.locale);
        }
        if (broken) {
            std::fprintf(stderr, "after \"%s\": %s\n", description.c_str(), broken->c_str());
            std::abort();
        }
    }
    return 0;
}
