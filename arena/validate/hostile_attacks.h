#pragma once
// The things a hostile game does to a loaded plug-in, one at a time: frames at odd rates, ball
// hits, the plug-in's own commands with odd arguments, variable values inside and outside their
// limits and malformed, free play switched, actors removed and restored, odd canvas sizes, clock
// jumps, and hostile variable reads.

#include <string>

#include "arena/validate/choice_source.h"
#include "arena/validate/world_motion.h"
#include "runtime/host.h"

namespace arena::validate {

// Sets variable `index` of the console to a value chosen by `choices`: in or out of its limits,
// malformed, or an odd text; `description` tells which.
void setVariable(runtime::Host& host, size_t index, ChoiceSource& choices, std::string& description);

// Applies one attack chosen by `choices` and sets `description` to a short account of it.
void attack(runtime::Host& host, WorldMotion& motion, ChoiceSource& choices, std::string& description);

} // namespace arena::validate
