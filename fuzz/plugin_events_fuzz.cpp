// The plug-in under event sequences read from the fuzzer's bytes: the same attacks as the
// validator's hostile rounds, with the same invariants after each. Every input gets a fresh host
// and a freshly loaded library, so a finding reproduces from the one input the fuzzer saves.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "arena/common/load_refusal.h"
#include "arena/play/drill_profile.h"
#include "arena/validate/choice_source.h"
#include "arena/validate/host_invariants.h"
#include "arena/validate/hostile_attacks.h"
#include "arena/validate/process_locale.h"
#include "arena/validate/world_motion.h"
#include "fuzz/fuzz_outcome.h"
#include "platform/library.h"
#include "runtime/host.h"

namespace {

// At most this many attacks per input, so that one input cannot run for long.
constexpr int kMostAttacks = 64;

// The fuzzer reads the library's coverage counters after each input returns, so the library
// must still be mapped then: the last input's unload leaves it open through this handle, and the
// next input closes it just before loading it again. The handle is also what keeps the number of
// blocks alive at the end of an input the same from input to input, so that the fuzzer's leak
// check (run when an input allocated more than it freed) is not set off by a plug-in that is
// merely still loaded.
platform::Library heldLibrary = nullptr;
#ifdef VOLANKO_UNDER_LIBFUZZER
const void* firstRecord = nullptr; // where the library's record was the first time it was loaded
#endif

uint64_t lastOutcome = 0;

void fail(const char* when, const std::string& what)
{
    std::fprintf(stderr, "%s: %s\n", when, what.c_str());
    std::abort();
}

void mix(uint64_t& hash, std::string_view text)
{
    for (const char c : text) {
        hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3ULL;
    }
    hash = (hash ^ 0xff) * 0x100000001b3ULL;
}

template <class Number> void mixNumber(uint64_t& hash, Number value)
{
    mix(hash, std::string_view(reinterpret_cast<const char*>(&value), sizeof value));
}

// What the plug-in did that the host can see: the calls traced while the trace was on, the lines
// it logged, the variables' values, the last frame's drawing and where every actor ended.
uint64_t outcome(const runtime::Host& host)
{
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const runtime::TraceEntry& entry : host.trace().entries()) {
        mix(hash, entry.json());
    }
    for (const std::string& line : host.console().log) {
        mix(hash, line);
    }
    for (const runtime::CVar& cvar : host.console().cvars) {
        mix(hash, cvar.name);
        mix(hash, cvar.value);
    }
    for (const runtime::CanvasDraw& draw : host.canvas().draws()) {
        mix(hash, draw.text);
        mixNumber(hash, draw.position);
    }
    for (const runtime::Actor& actor : host.world().actors) {
        mixNumber(hash, actor.kind);
        mixNumber(hash, actor.location);
        mixNumber(hash, actor.velocity);
        mixNumber(hash, actor.angularVelocity);
    }
    return hash;
}

void loadFresh(runtime::Host& host)
{
    if (heldLibrary) {
        platform::closeLibrary(heldLibrary);
        heldLibrary = nullptr;
    }
    const runtime::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
    if (!loaded) {
        fail("cannot load the plug-in", arena::loadRefusal(loaded));
    }
#ifdef VOLANKO_UNDER_LIBFUZZER
    // A library mapped elsewhere would leave the fuzzer counting coverage in pages that are gone.
    // Without the fuzzer (the kept inputs' replay) nothing holds on to the old pages.
    const void* record = platform::findSymbol(host.plugins().front().library, BAKKESMOD_EXPORTS_SYMBOL);
    if (firstRecord && record != firstRecord) {
        fail("reloading the plug-in", "the library was mapped at another address; the fuzzer cannot follow it");
    }
    firstRecord = record;
#endif
}

} // namespace

extern "C" uint64_t VolankoFuzzOutcome()
{
    return lastOutcome;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool localeSet = (arena::validate::useNamedLocale(), true);
    (void)localeSet;
    auto host = std::make_unique<runtime::Host>(1);
    const int64_t baseline = host->wrappersAlive();
    loadFresh(*host);
    const arena::validate::ProcessLocale locale = arena::validate::currentLocale();

    arena::validate::ByteChoices choices(data, size);
    arena::validate::WorldMotion motion;
    static arena::validate::AttackTexts texts(
        {{arena::kDrill.levels.begin(), arena::kDrill.levels.end()}, std::string(arena::kDrill.folderName)});
    host->driveWorld().setFreeplay(choices.chance(80));
    std::string description;
    for (int step = 0; step < kMostAttacks && !choices.exhausted(); ++step) {
        arena::validate::attack(*host, motion, texts, choices, description);
        auto broken = arena::validate::brokenInvariant(*host);
        if (!broken) {
            broken = arena::validate::localeChange(locale);
        }
        if (broken) {
            fail(("after \"" + description + "\"").c_str(), *broken);
        }
    }
    lastOutcome = outcome(*host);

    heldLibrary = platform::openedLibrary(VOLANKO_PLUGIN_PATH);
    host->unload(host->plugins().front().id);
    if (auto broken = arena::validate::brokenInvariant(*host)) {
        fail("at unload", *broken);
    }
    if (host->wrappersAlive() != baseline) {
        fail("at unload", std::to_string(host->wrappersAlive() - baseline) + " wrappers still alive");
    }
    return 0;
}
