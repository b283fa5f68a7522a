#include "command_line.h"

#include "concat.h"
#include "number_text.h"

namespace arena {

const char* const kUsage = "usage: arena [--plugin PATH] [--seed N] [--fps N] [--config PATH | --no-config] COMMAND\n"
                           "commands:\n"
                           "  play [--seconds S] [--level LEVEL] [--skill K] [--realtime] [--quiet] [--json]\n"
                           "  script FILE|-\n"
                           "  console\n"
                           "  validate ...            (arena validate --help)\n";

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& error)
{
    CommandLine line;
    size_t i = 0;
    // "--name value" or "--name=value".
    const auto value = [&](const std::string& name, std::string& out) {
        const std::string& word = args[i];
        if (word.size() > name.size() && word.compare(0, name.size(), name) == 0 && word[name.size()] == '=') {
            out = word.substr(name.size() + 1);
            return true;
        }
        if (word != name) {
            return false;
        }
        if (i + 1 >= args.size()) {
            error = concat(name, " needs a value");
            out.clear();
            return true;
        }
        out = args[++i];
        return true;
    };
    const auto bad = [&](std::string_view name, std::string_view text, std::string_view wanted) {
        error = concat(name, ": \"", text, "\" is not ", wanted);
        return std::nullopt;
    };

    std::string text;
    for (; i < args.size() && line.command.empty(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            line.command = "help";
            return line;
        }
        if (value("--plugin", text)) {
            if (!error.empty()) {
                return std::nullopt;
            }
            line.plugin = text;
        } else if (value("--seed", text)) {
            if (!error.empty()) {
                return std::nullopt;
            }
            line.seed = parseUnsigned(text);
            if (!line.seed) {
                return bad("--seed", text, "a whole number from 0 to 18446744073709551615");
            }
        } else if (value("--fps", text)) {
            if (!error.empty()) {
                return std::nullopt;
            }
            const auto fps = parseInteger(text);
            if (!fps || *fps < 1 || *fps > 1000) {
                return bad("--fps", text, "a whole number from 1 to 1000");
            }
            line.fps = static_cast<int>(*fps);
        } else if (value("--config", text)) {
            if (!error.empty()) {
                return std::nullopt;
            }
            if (text.empty()) {
                return bad("--config", text, "a path");
            }
            line.config = text;
        } else if (word == "--no-config") {
            line.noConfig = true;
        } else if (word.starts_with("-")) {
            error = concat("unknown option ", word);
            return std::nullopt;
        } else if (word == "play" || word == "script" || word == "console") {
            line.command = word;
        } else if (word == "validate") {
            error = "validate takes no options before it: arena validate ...";
            return std::nullopt;
        } else {
            error = concat("unknown command \"", word, "\"");
            return std::nullopt;
        }
    }
    if (line.command.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    if (!line.config.empty() && line.noConfig) {
        error = "--config and --no-config exclude each other";
        return std::nullopt;
    }

    for (; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (line.command == "play") {
            if (value("--seconds", text)) {
                if (!error.empty()) {
                    return std::nullopt;
                }
                const auto seconds = parseReal(text);
                if (!seconds || !(*seconds > 0) || *seconds > 1e6) {
                    return bad("--seconds", text, "a number of game seconds above 0 and at most 1000000");
                }
                line.seconds = *seconds;
            } else if (value("--level", text)) {
                if (!error.empty()) {
                    return std::nullopt;
                }
                if (text != "beginner" && text != "easy" && text != "normal" && text != "hard" && text != "pro") {
                    return bad("--level", text, "one of beginner, easy, normal, hard, pro");
                }
                line.level = text;
            } else if (value("--skill", text)) {
                if (!error.empty()) {
                    return std::nullopt;
                }
                const auto skill = parseReal(text);
                if (!skill || *skill < 0 || *skill > 1) {
                    return bad("--skill", text, "a number from 0 to 1");
                }
                line.skill = *skill;
            } else if (word == "--realtime") {
                line.realtime = true;
            } else if (word == "--quiet") {
                line.quiet = true;
            } else if (word == "--json") {
                line.json = true;
            } else {
                error = concat("play: unknown option ", word);
                return std::nullopt;
            }
        } else if (line.command == "script") {
            if (!line.script.empty()) {
                error = concat("script takes one file, not also \"", word, "\"");
                return std::nullopt;
            }
            if (word.empty() || (word.starts_with("-") && word != "-")) {
                error = concat("script: unknown option ", word);
                return std::nullopt;
            }
            line.script = word;
        } else {
            error = concat(line.command, " takes no arguments, not \"", word, "\"");
            return std::nullopt;
        }
    }
    if (line.command == "script" && line.script.empty()) {
        error = "script needs a FILE, or - for standard input";
        return std::nullopt;
    }
    return line;
}

} // namespace arena
