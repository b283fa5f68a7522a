#pragma once
// `arena validate`: loads a plug-in library and attacks it before users do.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arena::validate {

struct ValidateOptions {
    std::string plugin;                // PLUGIN: the library to attack, as given
    uint32_t rounds = 2000;            // --rounds: hostile rounds, at least 1
    uint64_t seed = 1;                 // --seed: the rounds' base seed; fixed by default so that runs repeat
    int cycles = 200;                  // --cycles: load and unload cycles of the lifecycle check, at least 1
    double timeLimit = 60;             // --time-limit: seconds allowed to each check, above 0, at most 86400
    bool json = false;                 // --json: one JSON object instead of lines
    std::optional<uint64_t> reproduce; // --reproduce: a round's own seed; replay that round only
};

// The words the plug-in under attack may compare its texts against: a drill's levels, first to
// last, and a word of its own (its name). The validator is given them: it knows no plug-in.
struct PluginWords {
    std::vector<std::string> levels;
    std::string name;
};

// The usage line that follows every refused command line, ending in a newline.
std::string_view usage();
// What --help prints after the usage: the checks, the options and the exit statuses.
std::string_view help();

// Runs the checks `options` ask for, each in a child process, and prints them on standard output.
// The hostile rounds set text variables to `words` among others. Returns the exit status.
int run(const ValidateOptions& options, const PluginWords& words);

// In this program run again as one of the validator's children (Windows): runs the piece of a
// check (or the arena's trial load) it was started for, then ends the process. Returns at once in
// any other process.
void runValidatorChild();

} // namespace arena::validate
