#include "arena/cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <span>

#include "arena/common/concat.h"
#include "arena/common/number_text.h"
#include "arena/play/drill_profile.h"
#include "platform/paths.h"

namespace arena {

namespace {

// One option. `set` checks the typed text and stores it; it returns why the text is refused, or
// nothing. A flag has no value name and gets an empty text.
struct OptionRow {
    const char* commands; // the commands that take it, "play script"; "" for a global option
    const char* name;     // "--seed"
    const char* value;    // what the value is, for the help ("N"); nullptr for a flag
    const char* help;     // one line
    std::string (*set)(CommandLine& line, const std::string& text);
};

std::string notA(const std::string& text, std::string_view wanted)
{
    return concat("\"", text, "\" is not ", wanted);
}

std::string levelList()
{
    std::string list;
    for (const std::string_view level : kDrill.levels) {
        list += list.empty() ? "one of " : ", ";
        list += level;
    }
    return list;
}

const OptionRow kGlobalOptions[] = {
    {"", "--plugin", "PATH", "the plug-in library; default {library} beside arena",
     [](CommandLine& line, const std::string& text) {
         line.plugin = text;
         return std::string();
     }},
    {"", "--seed", "N", "seeds every random draw; default: chosen and printed",
     [](CommandLine& line, const std::string& text) {
         line.seed = parseUnsigned(text);
         return line.seed ? std::string() : notA(text, "a whole number from 0 to 18446744073709551615");
     }},
    {"", "--fps", "N", "drawn frames per game second, 1 to 1000 (default 120)",
     [](CommandLine& line, const std::string& text) {
         const auto fps = parseInteger(text);
         if (!fps || *fps < 1 || *fps > 1000) {
             return notA(text, "a whole number from 1 to 1000");
         }
         line.fps = static_cast<int>(*fps);
         return std::string();
     }},
    {"", "--config", "PATH", "the file of saved variables (default: see below)",
     [](CommandLine& line, const std::string& text) {
         line.config = text;
         return text.empty() ? notA(text, "a path") : std::string();
     }},
    {"", "--no-config", nullptr, "read and write no configuration file",
     [](CommandLine& line, const std::string&) {
         line.noConfig = true;
         return std::string();
     }},
    {"", "--force", nullptr, "let --record replace an existing file (never one the session reads)",
     [](CommandLine& line, const std::string&) {
         line.force = true;
         return std::string();
     }},
    {"", "--version", nullptr, "print the arena's and the plug-in's versions, then exit",
     [](CommandLine& line, const std::string&) {
         line.version = true;
         return std::string();
     }},
};

// Options of commands; an option several commands take is one row.
const OptionRow kCommandOptions[] = {
    {"play", "--seconds", "S", "game seconds to play, 0 < S <= 1000000 (default 60)",
     [](CommandLine& line, const std::string& text) {
         const auto seconds = parseReal(text);
         if (!seconds || !(*seconds > 0) || *seconds > 1e6) {
             return notA(text, "a number of game seconds above 0 and at most 1000000");
         }
         line.seconds = *seconds;
         return std::string();
     }},
    {"play", "--level", "LEVEL", "beginner, easy, normal, hard or pro; this play only",
     [](CommandLine& line, const std::string& text) {
         if (std::find(kDrill.levels.begin(), kDrill.levels.end(), text) == kDrill.levels.end()) {
             return notA(text, levelList());
         }
         line.level = text;
         return std::string();
     }},
    {"play", "--skill", "K", "the autopilot's skill, 0 to 1 (default 0.6)",
     [](CommandLine& line, const std::string& text) {
         const auto skill = parseReal(text);
         if (!skill || *skill < 0 || *skill > 1) {
             return notA(text, "a number from 0 to 1");
         }
         line.skill = *skill;
         return std::string();
     }},
    {"play", "--realtime", nullptr, "pace frames to the wall clock even off the live view",
     [](CommandLine& line, const std::string&) {
         line.realtime = true;
         return std::string();
     }},
    {"play", "--quiet", nullptr, "no live view, no run lines: only the summary",
     [](CommandLine& line, const std::string&) {
         line.quiet = true;
         return std::string();
     }},
    {"play", "--json", nullptr, "the summary as one JSON object",
     [](CommandLine& line, const std::string&) {
         line.json = true;
         return std::string();
     }},
    {"play script console", "--record", "FILE", "write the session to FILE as it happens (docs/recording.md)",
     [](CommandLine& line, const std::string& text) {
         line.record = text;
         return text.empty() ? notA(text, "a file to write") : std::string();
     }},
    {"replay", "--page", "PAGE", "the built replay page; default: beside arena, else web/dist",
     [](CommandLine& line, const std::string& text) {
         line.page = text;
         return text.empty() ? notA(text, "a path") : std::string();
     }},
};

struct CommandRow {
    const char* name;
    const char* help;
};

const CommandRow kCommands[] = {
    {"play", "the autopilot plays the drill; live view, then summary"},
    {"script", "run console lines from FILE, or standard input for -"},
    {"console", "type console lines; Tab completes, Ctrl-D leaves"},
    {"replay", "write FILE.html: the replay page with the recording FILE inside"},
};

bool takes(const OptionRow& row, std::string_view command)
{
    const std::string_view commands = row.commands;
    for (size_t at = 0; at <= commands.size();) {
        const size_t end = std::min(commands.find(' ', at), commands.size());
        if (commands.substr(at, end - at) == command) {
            return true;
        }
        at = end + 1;
    }
    return false;
}

constexpr std::string_view kLibraryMark = "{library}"; // in a help text: the default library's file name

// The rows `command` takes ("" for the global options) as options of `app`.
void addOptions(CLI::App& app, std::span<const OptionRow> rows, std::string_view command, CommandLine& line)
{
    for (const OptionRow& row : rows) {
        if (!takes(row, command)) {
            continue;
        }
        if (!row.value) {
            app.add_flag_callback(
                row.name, [&line, &row] { row.set(line, ""); }, row.help);
            continue;
        }
        CLI::Validator check([&line, &row](std::string& text) { return row.set(line, text); }, "", "");
        // The default library is named as the system names libraries.
        std::string help = row.help;
        if (const size_t at = help.find(kLibraryMark); at != std::string::npos) {
            help.replace(at, kLibraryMark.size(), platform::libraryFileName(kDrill.libraryName));
        }
        // Repeated, the last one counts, as people expect of a command line.
        app.add_option(row.name)
            ->description(help)
            ->type_name(row.value)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
            ->check(check);
    }
}

// A word nothing took: an option no command knows, a word where none is wanted.
std::string leftOver(const CLI::App* command, const std::string& word)
{
    const std::string name = command ? command->get_name() : "";
    if (word.starts_with('-') && word.size() > 1) {
        return concat("unknown option ", word);
    }
    if (name.empty()) {
        return concat("unknown command \"", word, "\"");
    }
    if (name == "script" || name == "replay") {
        return concat(name, " takes one file, not also \"", word, "\"");
    }
    return concat(name, " takes no arguments, not \"", word, "\"");
}

// Where play and console keep their configuration, named as this system's build looks for it.
std::string footer()
{
    return concat("Global options are also taken after the command. The configuration: play and console read\n"
                  "and save ",
                  platform::userConfigPlace(kDrill.folderName, "arena.cfg"),
                  "; script uses\nnone unless --config is given.");
}

} // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& error)
{
    CommandLine line;
    CLI::App app("Loads a plug-in as the game's plug-in host does and runs it in a simulated free play.", "arena");
    app.set_help_flag("-h,--help", "print this help and exit; also COMMAND --help");
    const auto format = std::make_shared<CLI::Formatter>(); // the commands inherit it
    format->column_width(24);
    format->label("SUBCOMMAND", "COMMAND");
    app.formatter(format);
    app.allow_windows_style_options(false); // a path may start with a slash on every system
    app.fallthrough();                      // global options are also taken after the command
    app.allow_extras();                     // left-over words get the arena's own messages
    app.require_subcommand(0, 1);
    addOptions(app, kGlobalOptions, "", line);
    for (const CommandRow& row : kCommands) {
        CLI::App* command = app.add_subcommand(row.name, row.help)->group("Commands");
        command->set_help_flag("-h,--help", "print this help and exit");
        addOptions(*command, kCommandOptions, row.name, line);
        if (std::string_view(row.name) == "script") {
            command->add_option("FILE", line.script, "the lines to run; - for standard input")->type_name("");
        } else if (std::string_view(row.name) == "replay") {
            command->add_option("FILE", line.recording, "a recording made with --record")->type_name("");
        }
    }
    app.add_subcommand("validate", "check that a plug-in is safe to load and run")->group("Commands")->allow_extras();
    app.footer(footer());

    // CLI11 would take the next word as the value of "--name=".
    for (const std::string& word : args) {
        if (word.starts_with("--") && word.ends_with('=')) {
            error = concat(word.substr(0, word.size() - 1), " needs a value");
            return std::nullopt;
        }
        if (word == "--") {
            break;
        }
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        line.command = "help";
        line.helpText = app.help();
        for (const CLI::App* command : app.get_subcommands()) {
            const std::string name = command->get_name();
            line.helpText = command->help();
            const size_t usage = line.helpText.find("Usage: " + name);
            if (usage != std::string::npos) {
                line.helpText.replace(usage, 7 + name.size(), "Usage: arena [GLOBAL OPTIONS] " + name);
            }
        }
        return line;
    } catch (const CLI::ArgumentMismatch& e) {
        const std::string what = e.what();
        error = concat(what.substr(0, what.find(':')), " needs a value");
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return std::nullopt;
    }
    const auto chosen = app.get_subcommands();
    const CLI::App* command = chosen.empty() ? nullptr : chosen.front();
    for (const CLI::App* scope : {static_cast<const CLI::App*>(&app), command}) {
        if (scope && !scope->remaining().empty() && (!command || command->get_name() != "validate")) {
            error = leftOver(command, scope->remaining().front());
            return std::nullopt;
        }
    }
    if (!line.config.empty() && line.noConfig) {
        error = "--config and --no-config exclude each other";
        return std::nullopt;
    }
    if (line.version) {
        line.command = "version";
        return line;
    }
    if (!command) {
        error = "no command given";
        return std::nullopt;
    }
    line.command = command->get_name();
    if (line.command == "validate") {
        error = "validate takes no options before it: arena validate ...";
        return std::nullopt;
    }
    if (line.command == "script" && line.script.empty()) {
        error = "script needs a FILE, or - for standard input";
        return std::nullopt;
    }
    if (line.command == "replay" && line.recording.empty()) {
        error = "replay needs a recording FILE";
        return std::nullopt;
    }
    return line;
}

} // namespace arena
