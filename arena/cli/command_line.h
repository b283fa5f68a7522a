#pragma once
// The arena's command line, read by one parser for every command: global options (before or after
// the command; validate takes none), then a command with its own options. Each command's options
// are rows of a table; adding an option is adding a row.

#include <optional>
#include <string>
#include <vector>

#include "arena/console/session_run.h"
#include "arena/play/play_command.h"
#include "arena/replay/replay_page.h"
#include "arena/rerun/rerun_command.h"
#include "arena/script/script_command.h"
#include "arena/validate/validate.h"

namespace arena {

enum class Command {
    Help,    // print `helpText`
    Version, // --version: the arena's and the plug-in's names and versions
    Play,
    Script,
    Console,
    Replay,
    Rerun,
    Validate,
};

struct CommandLine {
    Command command = Command::Help;
    std::string helpText;   // for Help: the help asked for, ending in a newline
    SessionOptions session; // the global options
    PlayOptions play;
    ScriptOptions script;
    ReplayOptions replay;
    RerunOptions rerun;
    validate::ValidateOptions validate;
};

// Reads the words after the program's name. nullopt for a command line that cannot run, with
// `refusal` set to what standard error is to show, ending in a newline; the status is then 2.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& refusal);

} // namespace arena
