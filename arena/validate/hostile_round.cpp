#include "arena/validate/hostile_round.h"

#include "arena/common/load_refusal.h"
#include "arena/validate/choice_source.h"
#include "arena/validate/host_invariants.h"
#include "arena/validate/hostile_attacks.h"
#include "arena/validate/process_locale.h"
#include "arena/validate/world_motion.h"
#include "runtime/host.h"

namespace arena::validate {

namespace {

// A trace left on for a whole round would only slow it down.
constexpr size_t kTraceKept = 10000;

} // namespace

std::optional<std::string> runHostileRound(const std::string& pluginPath, uint64_t seed, const PluginWords& words,
                                           const std::function<void(uint32_t, const std::string&)>& stepDone)
{
    useNamedLocale();
    AttackTexts texts(words); // outlives the host, which may read through it
    runtime::Host host(seed);
    SeededChoices choices(seed);
    WorldMotion motion;
    host.driveWorld().setFreeplay(choices.chance(80));
    const int64_t baseline = host.wrappersAlive();

    const runtime::LoadResult loaded = host.load(pluginPath);
    if (!loaded) {
        return notLoaded(loadRefusal(loaded));
    }
    if (auto broken = brokenInvariant(host)) {
        return "at load: " + *broken;
    }
    // Taken after load: what onLoad does to the locale is the registration check's business.
    const ProcessLocale locale = currentLocale();

    std::string description;
    // Half the variables start the round with a value of their own, so that rounds do not all
    // play with the defaults.
    for (size_t index = 0; index < host.console().cvars.size(); ++index) {
        if (choices.chance(50)) {
            setVariable(host, index, texts, choices, description);
        }
    }
    // Most rounds begin with one of the plug-in's commands, so that a drill that needs switching
    // on is on for much of the round.
    if (choices.chance(70) && !host.console().notifiers.empty()) {
        host.runCommand({host.console().notifiers[choices.below(host.console().notifiers.size())].name});
        if (auto broken = brokenInvariant(host)) {
            return "first command: " + *broken;
        }
    }
    const uint32_t count = 20 + choices.below(60);
    for (uint32_t step = 1; step <= count; ++step) {
        attack(host, motion, texts, choices, description);
        if (stepDone) {
            stepDone(step, description);
        }
        auto broken = brokenInvariant(host);
        if (!broken) {
            broken = localeChange(locale);
        }
        if (broken) {
            std::string reason = "step ";
            reason += std::to_string(step);
            reason += " (";
            reason += description;
            reason += "): ";
            reason += *broken;
            return reason;
        }
        if (host.trace().entries().size() > kTraceKept) {
            host.clearTrace();
        }
    }

    host.unload(loaded.plugin);
    if (auto broken = brokenInvariant(host)) {
        return "at unload: " + *broken;
    }
    if (host.wrappersAlive() != baseline) {
        std::string reason = std::to_string(host.wrappersAlive() - baseline);
        reason += " wrappers still alive after unload";
        return reason;
    }
    return std::nullopt;
}

} // namespace arena::validate
