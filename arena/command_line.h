#pragma once
// The arena's command line: global options, then a command with its own options.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace arena {

struct CommandLine {
    std::string plugin;           // --plugin; empty: the Volanko library beside the program
    std::optional<uint64_t> seed; // --seed; none: one is chosen and printed
    int fps = 120;                // --fps, 1..1000
    std::string config;           // --config; empty: the default for play and console, none for script
    bool noConfig = false;        // --no-config
    std::string command;          // "play", "script", "console" or "replay"
    std::string record;           // --record FILE for play, script and console; empty: none

    // play
    double seconds = 60;   // --seconds, above 0 and at most 1000000
    std::string level;     // --level; empty leaves the variable as configured
    double skill = 0.6;    // --skill, 0..1
    bool realtime = false; // --realtime
    bool quiet = false;    // --quiet
    bool json = false;     // --json

    // script
    std::string script; // FILE, or "-" for standard input

    // replay
    std::string recording; // FILE, the recording to embed
    std::string page;      // --page; empty: the built page found by the arena
};

// Parses the words after the program's name. nullopt with `error` set for a bad argument;
// a command of "help" for --help.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage; // the usage text, ending in a newline

} // namespace arena
