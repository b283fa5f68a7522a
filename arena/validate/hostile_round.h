#pragma once
// One hostile round: a fresh host with the plug-in loaded, a seeded run of attacks, and the
// unload, with the invariants checked after every step.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "arena/validate/validate.h"

namespace arena::validate {

// Runs the round that `seed` decides, with texts made of the plug-in's `words` among others. Returns why it failed, or
// nothing when it passed. `stepDone`, when set, is told each step's number and account once the step has run.
std::optional<std::string> runHostileRound(const std::string& pluginPath, uint64_t seed, const PluginWords& words,
                                           const std::function<void(uint32_t, const std::string&)>& stepDone = {});

} // namespace arena::validate
