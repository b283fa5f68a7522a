#pragma once
// The arena's command line: global options (before or after the command), then a command with its
// own options. Each command's options are rows of a table; adding an option is adding a row.

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
    bool version = false;         // --version: print the arena's and the plug-in's names and versions
    std::string command;          // "play", "script", "console", "replay"; "version"; "help" with helpText set
    std::string record;           // --record FILE for play, script and console; empty: none
    bool force = false;           // --force: the recording may replace an existing file

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
    std::string helpText;  // for "help": the help asked for, ending in a newline
};

// Parses the words after the program's name. nullopt with `error` set for a bad argument.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& error);

} // namespace arena
