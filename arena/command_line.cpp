#include "command_line.h"

#include <algorithm>

#include "concat.h"
#include "drill.h"
#include "number_text.h"
#include "option_reader.h"

namespace arena {

const char* const kUsage =
    "usage: arena [--plugin PATH] [--seed N] [--fps N] [--config PATH | --no-config] COMMAND\n"
    "commands:\n"
    "  play [--seconds S] [--level LEVEL] [--skill K] [--realtime] [--quiet] [--json] [--record FILE]\n"
    "  script [--record FILE] FILE|-\n"
    "  console [--record FILE]\n"
    "  replay [--page PAGE] FILE   (writes FILE.html)\n"
    "  validate ...            (arena validate --help)\n";

namespace {

constexpr std::string_view kGlobalValued[] = {"--plugin", "--seed", "--fps", "--config"};
constexpr std::string_view kPlayValued[] = {"--seconds", "--level", "--skill", "--record"};
constexpr std::string_view kRecordValued[] = {"--record"};
constexpr std::string_view kReplayValued[] = {"--page"};

std::string levelList()
{
    std::string list;
    for (const std::string_view level : drill::kLevels) {
        list += list.empty() ? "one of " : ", ";
        list += level;
    }
    return list;
}

} // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& error)
{
    CommandLine line;
    OptionReader reader(args);
    const auto bad = [&](std::string_view name, std::string_view text, std::string_view wanted) {
        error = concat(name, ": \"", text, "\" is not ", wanted);
        return std::nullopt;
    };

    while (line.command.empty()) {
        const auto word = reader.next(kGlobalValued);
        if (!word) {
            break;
        }
        const std::string& name = word->name;
        const std::string& text = word->value;
        if (name == "--help" || name == "-h") {
            line.command = "help";
            return line;
        }
        if (name == "--plugin") {
            line.plugin = text;
        } else if (name == "--seed") {
            line.seed = parseUnsigned(text);
            if (!line.seed) {
                return bad(name, text, "a whole number from 0 to 18446744073709551615");
            }
        } else if (name == "--fps") {
            const auto fps = parseInteger(text);
            if (!fps || *fps < 1 || *fps > 1000) {
                return bad(name, text, "a whole number from 1 to 1000");
            }
            line.fps = static_cast<int>(*fps);
        } else if (name == "--config") {
            if (text.empty()) {
                return bad(name, text, "a path");
            }
            line.config = text;
        } else if (name == "--no-config") {
            line.noConfig = true;
        } else if (!name.empty()) {
            error = concat("unknown option ", name);
            return std::nullopt;
        } else if (text == "play" || text == "script" || text == "console" || text == "replay") {
            line.command = text;
        } else if (text == "validate") {
            error = "validate takes no options before it: arena validate ...";
            return std::nullopt;
        } else {
            error = concat("unknown command \"", text, "\"");
            return std::nullopt;
        }
    }
    if (!reader.error.empty()) {
        error = reader.error;
        return std::nullopt;
    }
    if (line.command.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    if (!line.config.empty() && line.noConfig) {
        error = "--config and --no-config exclude each other";
        return std::nullopt;
    }

    const bool play = line.command == "play";
    const bool replay = line.command == "replay";
    using Names = std::span<const std::string_view>;
    const Names valued = play ? Names(kPlayValued) : replay ? Names(kReplayValued) : Names(kRecordValued);
    while (const auto word = reader.next(valued)) {
        const std::string& name = word->name;
        const std::string& text = word->value;
        if (name == "--record" && !replay) {
            if (text.empty()) {
                return bad(name, text, "a file to write");
            }
            line.record = text;
        } else if (replay) {
            if (name == "--page") {
                line.page = text;
            } else if (!name.empty() || !line.recording.empty()) {
                error = concat("replay: unexpected \"", word->typed, "\"");
                return std::nullopt;
            } else {
                line.recording = text;
            }
        } else if (play) {
            if (name == "--seconds") {
                const auto seconds = parseReal(text);
                if (!seconds || !(*seconds > 0) || *seconds > 1e6) {
                    return bad(name, text, "a number of game seconds above 0 and at most 1000000");
                }
                line.seconds = *seconds;
            } else if (name == "--level") {
                if (std::find(drill::kLevels.begin(), drill::kLevels.end(), text) == drill::kLevels.end()) {
                    return bad(name, text, levelList());
                }
                line.level = text;
            } else if (name == "--skill") {
                const auto skill = parseReal(text);
                if (!skill || *skill < 0 || *skill > 1) {
                    return bad(name, text, "a number from 0 to 1");
                }
                line.skill = *skill;
            } else if (name == "--realtime") {
                line.realtime = true;
            } else if (name == "--quiet") {
                line.quiet = true;
            } else if (name == "--json") {
                line.json = true;
            } else {
                error = concat("play: unknown option ", word->typed);
                return std::nullopt;
            }
        } else if (line.command == "script") {
            if (!line.script.empty()) {
                error = concat("script takes one file, not also \"", word->typed, "\"");
                return std::nullopt;
            }
            if (word->typed.empty() || (!name.empty() && name != "-")) {
                error = concat("script: unknown option ", word->typed);
                return std::nullopt;
            }
            line.script = word->typed;
        } else {
            error = concat(line.command, " takes no arguments, not \"", word->typed, "\"");
            return std::nullopt;
        }
    }
    if (!reader.error.empty()) {
        error = reader.error;
        return std::nullopt;
    }
    if (replay && line.recording.empty()) {
        error = "replay needs a recording FILE";
        return std::nullopt;
    }
    if (line.command == "script" && line.script.empty()) {
        error = "script needs a FILE, or - for standard input";
        return std::nullopt;
    }
    return line;
}

} // namespace arena
