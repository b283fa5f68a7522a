#pragma once
// The things a hostile game does to a loaded plug-in, one at a time: frames at odd rates, ball
// hits, the plug-in's own commands with odd arguments, variable values inside and outside their
// limits and malformed, free play switched, actors removed and restored, odd canvas sizes, clock
// jumps, and hostile variable reads.

#include <string>
#include <vector>

#include "arena/validate/choice_source.h"
#include "arena/validate/validate.h"
#include "arena/validate/world_motion.h"
#include "runtime/host.h"

namespace arena::validate {

// The texts the attacks choose from, made of the plug-in's words and of texts no plug-in expects:
// values for text variables, odd command arguments, and what hostile reads of a text give.
class AttackTexts final : public runtime::ReadSource {
public:
    explicit AttackTexts(const PluginWords& words);

    std::vector<std::string> values;
    std::vector<std::string> arguments;
    std::vector<std::string> reads;

    // Hostile reads: a numeric read gives a value a careless plug-in would pass on to the game
    // (NaN, an infinity, a huge number), a truth read a coin toss, and a text read one of `reads`.
    float readFloat(const runtime::CVar& cvar, std::mt19937_64& random) override;
    bool readBool(const runtime::CVar& cvar, std::mt19937_64& random) override;
    std::string readString(const runtime::CVar& cvar, std::mt19937_64& random) override;
};

// Sets variable `index` of the console to a value chosen by `choices`: in or out of its limits,
// malformed, or an odd text; `description` tells which.
void setVariable(runtime::Host& host, size_t index, const AttackTexts& texts, ChoiceSource& choices,
                 std::string& description);

// Applies one attack chosen by `choices` and sets `description` to a short account of it. `texts`
// must outlive the host: its hostile reads may be switched on.
void attack(runtime::Host& host, WorldMotion& motion, AttackTexts& texts, ChoiceSource& choices,
            std::string& description);

} // namespace arena::validate
