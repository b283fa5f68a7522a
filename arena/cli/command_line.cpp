#include "arena/cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <limits>
#include <span>

#include "arena/common/concat.h"
#include "arena/common/number_text.h"
#include "arena/play/drill_profile.h"
#include "arena/validate/validate.h"
#include "platform/paths.h"

namespace arena {

namespace {

// The command line as read so far.
struct Reading {
    CommandLine line;
    bool version = false; // --version, which any command may carry
    // What validate's words came to, word by word: the first mistake, or --help, settles it.
    CLI::App* validate = nullptr;
    bool inValidate = false; // the parser has come to validate's words
    std::string validateError;
    bool validateHelp = false;
};

// One option. `set` checks the typed text and stores it; it returns why the text is refused, or
// nothing. A flag has no value name and gets an empty text.
struct OptionRow {
    const char* commands; // the commands that take it, "play script"; "" for a global option
    const char* name;     // "--seed"
    const char* value;    // what the value is, for the help ("N"); nullptr for a flag
    const char* help;     // one line
    std::string (*set)(Reading& reading, const std::string& text);
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
     [](Reading& reading, const std::string& text) {
         reading.line.session.plugin = text;
         return std::string();
     }},
    {"", "--seed", "N", "seeds every random draw; default: chosen and printed",
     [](Reading& reading, const std::string& text) {
         reading.line.session.seed = parseUnsigned(text);
         return reading.line.session.seed ? std::string() : notA(text, "a whole number from 0 to 18446744073709551615");
     }},
    {"", "--fps", "N", "drawn frames per game second, 1 to 1000 (default 120)",
     [](Reading& reading, const std::string& text) {
         const auto fps = parseInteger(text);
         if (!fps || *fps < 1 || *fps > 1000) {
             return notA(text, "a whole number from 1 to 1000");
         }
         reading.line.session.fps = static_cast<int>(*fps);
         return std::string();
     }},
    {"", "--config", "PATH", "the file of saved variables (default: see below)",
     [](Reading& reading, const std::string& text) {
         reading.line.session.config = text;
         return text.empty() ? notA(text, "a path") : std::string();
     }},
    {"", "--no-config", nullptr, "read and write no configuration file",
     [](Reading& reading, const std::string&) {
         reading.line.session.noConfig = true;
         return std::string();
     }},
    {"", "--force", nullptr, "let --record replace an existing file (never one the session reads)",
     [](Reading& reading, const std::string&) {
         reading.line.session.force = true;
         return std::string();
     }},
    {"", "--version", nullptr, "print the arena's and the plug-in's versions, then exit",
     [](Reading& reading, const std::string&) {
         reading.version = true;
         return std::string();
     }},
};

// Options of commands; an option several commands take is one row.
const OptionRow kCommandOptions[] = {
    {"play", "--seconds", "S", "game seconds to play, 0 < S <= 1000000 (default 60)",
     [](Reading& reading, const std::string& text) {
         const auto seconds = parseReal(text);
         if (!seconds || !(*seconds > 0) || *seconds > 1e6) {
             return notA(text, "a number of game seconds above 0 and at most 1000000");
         }
         reading.line.play.seconds = *seconds;
         return std::string();
     }},
    {"play", "--level", "LEVEL", "{levels}; this play only",
     [](Reading& reading, const std::string& text) {
         if (std::find(kDrill.levels.begin(), kDrill.levels.end(), text) == kDrill.levels.end()) {
             return notA(text, levelList());
         }
         reading.line.play.level = text;
         return std::string();
     }},
    {"play", "--skill", "K", "the autopilot's skill, 0 to 1 (default 0.6)",
     [](Reading& reading, const std::string& text) {
         const auto skill = parseReal(text);
         if (!skill || *skill < 0 || *skill > 1) {
             return notA(text, "a number from 0 to 1");
         }
         reading.line.play.skill = *skill;
         return std::string();
     }},
    {"play", "--realtime", nullptr, "pace frames to the wall clock even off the live view",
     [](Reading& reading, const std::string&) {
         reading.line.play.realtime = true;
         return std::string();
     }},
    {"play", "--quiet", nullptr, "no live view, no run lines: only the summary",
     [](Reading& reading, const std::string&) {
         reading.line.play.quiet = true;
         return std::string();
     }},
    {"play", "--json", nullptr, "the summary as one JSON object",
     [](Reading& reading, const std::string&) {
         reading.line.play.json = true;
         return std::string();
     }},
    {"play script console", "--record", "FILE", "write the session to FILE as it happens (docs/recording.md)",
     [](Reading& reading, const std::string& text) {
         reading.line.session.record = text;
         return text.empty() ? notA(text, "a file to write") : std::string();
     }},
    {"replay", "--page", "PAGE", "the built replay page; default: beside arena, else web/dist",
     [](Reading& reading, const std::string& text) {
         reading.line.replay.page = text;
         return text.empty() ? notA(text, "a path") : std::string();
     }},
};

// Options of validate, which reads its words one by one: the first mistake is the one told.
struct ValidateRow {
    const char* name;
    bool (*set)(validate::ValidateOptions& options, const std::string& text); // false: a bad value
};

const ValidateRow kValidateOptions[] = {
    {"--rounds",
     [](validate::ValidateOptions& options, const std::string& text) {
         const auto rounds = parseUnsigned(text);
         options.rounds = rounds ? static_cast<uint32_t>(*rounds) : 0;
         return rounds && *rounds != 0 && *rounds <= std::numeric_limits<uint32_t>::max();
     }},
    {"--seed",
     [](validate::ValidateOptions& options, const std::string& text) {
         const auto seed = parseUnsigned(text);
         options.seed = seed.value_or(0);
         return seed.has_value();
     }},
    {"--cycles",
     [](validate::ValidateOptions& options, const std::string& text) {
         const auto cycles = parseUnsigned(text);
         options.cycles = cycles ? static_cast<int>(*cycles) : 0;
         return cycles && *cycles >= 1 && *cycles <= static_cast<uint64_t>(std::numeric_limits<int>::max());
     }},
    {"--time-limit",
     [](validate::ValidateOptions& options, const std::string& text) {
         const auto limit = parseReal(text);
         options.timeLimit = limit.value_or(0);
         return limit && *limit > 0 && *limit <= 86400;
     }},
    {"--reproduce",
     [](validate::ValidateOptions& options, const std::string& text) {
         options.reproduce = parseUnsigned(text);
         return options.reproduce.has_value();
     }},
};

struct CommandRow {
    const char* name;
    Command command;
    const char* help;
};

const CommandRow kCommands[] = {
    {"play", Command::Play, "the autopilot plays the drill; live view, then summary"},
    {"script", Command::Script, "run console lines from FILE, or standard input for -"},
    {"console", Command::Console, "type console lines; Tab completes, Ctrl-D leaves"},
    {"replay", Command::Replay, "write FILE.html: the replay page with the recording FILE inside"},
    {"rerun", Command::Rerun, "play the recording FILE's session again from its controls; compare"},
    {"validate", Command::Validate, "check that a plug-in is safe to load and run"},
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

// Marks in a help text: the default library's file name, as the system names libraries, and the
// drill's levels.
std::string helpText(std::string help)
{
    constexpr std::string_view kLibrary = "{library}";
    constexpr std::string_view kLevels = "{levels}";
    if (const size_t at = help.find(kLibrary); at != std::string::npos) {
        help.replace(at, kLibrary.size(), platform::libraryFileName(kDrill.libraryName));
    }
    if (const size_t at = help.find(kLevels); at != std::string::npos) {
        std::string levels;
        for (const std::string_view level : kDrill.levels) {
            levels += levels.empty() ? "" : level == kDrill.levels.back() ? " or " : ", ";
            levels += level;
        }
        help.replace(at, kLevels.size(), levels);
    }
    return help;
}

// The rows `command` takes ("" for the global options) as options of `app`.
void addOptions(CLI::App& app, std::span<const OptionRow> rows, std::string_view command, Reading& reading)
{
    for (const OptionRow& row : rows) {
        if (!takes(row, command)) {
            continue;
        }
        if (!row.value) {
            app.add_flag_callback(
                row.name, [&reading, &row] { row.set(reading, ""); }, row.help);
            continue;
        }
        CLI::Validator check([&reading, &row](std::string& text) { return row.set(reading, text); }, "", "");
        // Repeated, the last one counts, as people expect of a command line.
        app.add_option(row.name)
            ->description(helpText(row.help))
            ->type_name(row.value)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
            ->check(check);
    }
}

// A word nothing took: an option no command knows, a word where none is wanted.
// A word meant as an option: "-" alone names standard input.
bool isOptionWord(const std::string& word)
{
    return word.starts_with('-') && word.size() > 1;
}

std::string leftOver(const CLI::App* command, const std::string& word)
{
    const std::string name = command ? command->get_name() : "";
    if (isOptionWord(word)) {
        return concat("unknown option ", word);
    }
    if (name.empty()) {
        return concat("unknown command \"", word, "\"");
    }
    if (name == "script" || name == "replay" || name == "rerun") {
        return concat(name, " takes one file, not also \"", word, "\"");
    }
    return concat(name, " takes no arguments, not \"", word, "\"");
}

// Validate's words are taken as they come, each settling the reading unless an earlier one did. The
// words validate has no option for wait among the command's remaining ones: the first plain word is
// the plug-in, any other is a mistake.
bool settledBefore(Reading& reading)
{
    if (reading.validateHelp || !reading.validateError.empty()) {
        return true;
    }
    bool plugin = false;
    for (const std::string& word : reading.validate->remaining()) {
        if (isOptionWord(word)) {
            reading.validateError = concat("unknown option ", word);
        } else if (plugin) {
            reading.validateError = "more than one plug-in given";
        }
        plugin = true;
        if (!reading.validateError.empty()) {
            return true;
        }
    }
    return false;
}

// A flag of validate's, set by `name` alone or `name=true`: any other value is not an option
// validate has.
CLI::callback_t validateFlag(Reading& reading, const char* name, bool& flag)
{
    return [&reading, name, &flag](const CLI::results_t& values) {
        if (!settledBefore(reading)) {
            if (values.empty() || values.front() == "true") {
                flag = true;
            } else {
                reading.validateError = concat("unknown option ", name, "=", values.front());
            }
        }
        return true;
    };
}

// Validate's options, hidden from the short help (validate --help has its own); the words go on
// to validate even after a mistake, which only the first is told of.
void addValidateOptions(CLI::App& command, Reading& reading)
{
    command.fallthrough(false); // validate takes no global option
    command.preparse_callback([&reading](size_t) { reading.inValidate = true; });
    command.set_help_flag();
    command.add_option("--json", validateFlag(reading, "--json", reading.line.validate.json))
        ->expected(0)
        ->trigger_on_parse()
        ->group("");
    for (const ValidateRow& row : kValidateOptions) {
        CLI::Validator check(
            [&reading, &row](std::string& text) {
                if (!settledBefore(reading) && !row.set(reading.line.validate, text)) {
                    reading.validateError = concat("bad value for ", row.name, ": \"", text, "\"");
                }
                return std::string();
            },
            "", "");
        command.add_option(row.name)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
            ->check(check)
            ->trigger_on_parse()
            ->group("");
    }
    // Last: the help lists the groups in the order met, with a blank line after each but the last.
    command
        .add_option("-h,--help", validateFlag(reading, "--help", reading.validateHelp),
                    "print this help and exit; also COMMAND --help")
        ->expected(0)
        ->trigger_on_parse();
}

// Where play and console keep their configuration, named as this system's build looks for it.
std::string footer()
{
    return concat("Global options are also taken after the command. The configuration: play and console read\n"
                  "and save ",
                  platform::userConfigPlace(kDrill.folderName, "arena.cfg"),
                  "; script uses\nnone unless --config is given.");
}

std::optional<CommandLine> refused(std::string& refusal, std::string_view error)
{
    refusal = concat("arena: ", error, "\nRun \"arena --help\" for the commands and options.\n");
    return std::nullopt;
}

std::optional<CommandLine> refusedByValidate(std::string& refusal, std::string_view error)
{
    refusal = concat("arena validate: ", error, "\n", validate::usage());
    return std::nullopt;
}

// The help of the command named last on the line, or the arena's.
std::string helpOf(const CLI::App& app)
{
    std::string text = app.help();
    for (const CLI::App* command : app.get_subcommands()) {
        const std::string name = command->get_name();
        text = command->help();
        const size_t usage = text.find("Usage: " + name);
        if (usage != std::string::npos) {
            text.replace(usage, 7 + name.size(), "Usage: arena [GLOBAL OPTIONS] " + name);
        }
    }
    return text;
}

// What validate's words came to, once the parser has taken them all.
std::optional<CommandLine> validateLine(Reading& reading, std::span<const std::string> words, std::string& refusal)
{
    // Words the parser keeps for itself would otherwise pass unseen.
    if (!settledBefore(reading)) {
        if (const auto marker = std::find_if(words.begin(), words.end(),
                                             [](const std::string& word) { return word == "--" || word == "++"; });
            marker != words.end()) {
            reading.validateError = concat("unknown option ", *marker);
        }
    }
    if (!reading.validateError.empty()) {
        return refusedByValidate(refusal, reading.validateError);
    }
    if (reading.validateHelp) {
        reading.line.command = Command::Help;
        reading.line.helpText = concat(validate::usage(), validate::help());
        return reading.line;
    }
    if (const auto remaining = reading.validate->remaining(); !remaining.empty()) {
        reading.line.validate.plugin = remaining.front();
    }
    if (reading.line.validate.plugin.empty()) {
        return refusedByValidate(refusal, "no plug-in given");
    }
    reading.line.command = Command::Validate;
    return reading.line;
}

// Every command with its options, and the global options, as `app`'s; what they read goes to `reading`.
void addCommands(CLI::App& app, Reading& reading)
{
    app.set_help_flag("-h,--help", "print this help and exit; also COMMAND --help");
    const auto format = std::make_shared<CLI::Formatter>(); // the commands inherit it
    format->column_width(24);
    format->label("SUBCOMMAND", "COMMAND");
    app.formatter(format);
    app.allow_windows_style_options(false); // a path may start with a slash on every system
    app.fallthrough();                      // global options are also taken after the command
    app.allow_extras();                     // left-over words get the arena's own messages
    app.require_subcommand(0, 1);
    addOptions(app, kGlobalOptions, "", reading);
    for (const CommandRow& row : kCommands) {
        CLI::App* command = app.add_subcommand(row.name, row.help)->group("Commands");
        if (row.command == Command::Validate) {
            reading.validate = command;
            addValidateOptions(*command, reading);
            continue;
        }
        command->set_help_flag("-h,--help", "print this help and exit");
        addOptions(*command, kCommandOptions, row.name, reading);
        if (row.command == Command::Script) {
            command->add_option("FILE", reading.line.script.file, "the lines to run; - for standard input")
                ->type_name("");
        } else if (row.command == Command::Replay) {
            command->add_option("FILE", reading.line.replay.recording, "a recording made with --record")->type_name("");
        } else if (row.command == Command::Rerun) {
            command->add_option("FILE", reading.line.rerun.recording, "a recording made with --record")->type_name("");
        }
    }
    app.footer(footer());
}

} // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& refusal)
{
    Reading reading;
    CLI::App app("Loads a plug-in as the game's plug-in host does and runs it in a simulated free play.", "arena");
    addCommands(app, reading);

    // CLI11 would take the next word as the value of "--name=".
    std::string early; // the first such word
    for (const std::string& word : args) {
        if (word.starts_with("--") && word.ends_with('=')) {
            early = word;
            break;
        }
        if (word == "--") {
            break;
        }
    }
    std::string error; // why the parser stopped
    bool help = false; // a global --help
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        help = true;
    } catch (const CLI::ArgumentMismatch& e) {
        // Only the last word lacks a value; validate's options, hidden, go unnamed in the message.
        const std::string what = e.what();
        error = concat(what.starts_with(':') ? args.back() : what.substr(0, what.find(':')), " needs a value");
    } catch (const CLI::ParseError& e) {
        error = e.what();
    }
    const bool inValidate = reading.inValidate;
    if (!early.empty()) {
        const std::string name = early.substr(0, early.size() - 1);
        if (!inValidate) {
            return refused(refusal, concat(name, " needs a value"));
        }
        const bool valued = std::any_of(std::begin(kValidateOptions), std::end(kValidateOptions),
                                        [&](const ValidateRow& row) { return row.name == name; });
        return refusedByValidate(refusal,
                                 valued ? concat("bad value for ", name, ": \"\"") : concat("unknown option ", early));
    }
    if (!error.empty() && inValidate) {
        // The parser stopped at validate's last word: a global --help before it still asks for
        // the short help, unless that word is a global option's, and a mistake or --help among
        // the words before settles it.
        const bool global = std::any_of(std::begin(kGlobalOptions), std::end(kGlobalOptions),
                                        [&](const OptionRow& row) { return row.name == args.back(); });
        help = app.get_help_ptr()->count() > 0;
        if (help && global) {
            return refused(refusal, error);
        }
        if (!help) {
            return settledBefore(reading) ? validateLine(reading, {}, refusal) : refusedByValidate(refusal, error);
        }
    } else if (!error.empty()) {
        return refused(refusal, error);
    }
    if (help) {
        reading.line.command = Command::Help;
        reading.line.helpText = helpOf(app);
        return reading.line;
    }
    const auto chosen = app.get_subcommands();
    const CLI::App* command = chosen.empty() ? nullptr : chosen.front();
    for (const CLI::App* scope : {static_cast<const CLI::App*>(&app), command}) {
        if (scope && !scope->remaining().empty() && !inValidate) {
            return refused(refusal, leftOver(command, scope->remaining().front()));
        }
    }
    const SessionOptions& session = reading.line.session;
    if (!session.config.empty() && session.noConfig) {
        return refused(refusal, "--config and --no-config exclude each other");
    }
    if (reading.version) {
        reading.line.command = Command::Version;
        return reading.line;
    }
    if (!command) {
        return refused(refusal, "no command given");
    }
    if (inValidate) {
        for (const CLI::Option* option : app.get_options()) {
            if (option->count() > 0) {
                return refused(refusal, "validate takes no options before it: arena validate ...");
            }
        }
        const auto named = std::find(args.begin(), args.end(), "validate");
        return validateLine(reading, {named + 1, args.end()}, refusal);
    }
    for (const CommandRow& row : kCommands) {
        if (row.name == command->get_name()) {
            reading.line.command = row.command;
        }
    }
    if (reading.line.command == Command::Script && reading.line.script.file.empty()) {
        return refused(refusal, "script needs a FILE, or - for standard input");
    }
    if (reading.line.command == Command::Replay && reading.line.replay.recording.empty()) {
        return refused(refusal, "replay needs a recording FILE");
    }
    if (reading.line.command == Command::Rerun) {
        if (reading.line.rerun.recording.empty()) {
            return refused(refusal, "rerun needs a recording FILE");
        }
        // What the session was given is the recording's; only the plug-in may be another.
        for (const char* name : {"--seed", "--fps", "--config", "--no-config", "--force"}) {
            if (app.get_option(name)->count() > 0) {
                return refused(refusal, concat("rerun takes the seed, the frame rate and the settings from the "
                                               "recording, not ",
                                               name));
            }
        }
    }
    return reading.line;
}

} // namespace arena
