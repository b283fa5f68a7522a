#include "validate.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checks.h"
#include "trace.h"

namespace {

constexpr const char* kUsage =
    "usage: arena validate [--rounds N] [--seed N] [--cycles N] [--time-limit S] [--json] [--reproduce SEED] PLUGIN\n";

constexpr const char* kHelp =
    "\n"
    "Loads the plug-in library the way a host does and attacks it. Each check runs in a child\n"
    "process with a time limit; a crash or a hang fails the check, never the validator.\n"
    "  library       the file opens; exports, getPlugin and deleteMe are exported; the record has\n"
    "                host API version 95, non-empty texts and the two functions\n"
    "  lifecycle     getPlugin and deleteMe in every order; N load, onLoad, unload cycles leave no\n"
    "                wrapper, registration or memory behind\n"
    "  registration  no name registered twice; nothing runs after unload; the locale is left alone\n"
    "  hostile       N seeded rounds of frames, hits, commands, odd values, removed actors, odd\n"
    "                canvases, clock jumps and hostile reads; no crash, throw, NaN, empty-wrapper\n"
    "                call or kept wrapper\n"
    "Options:\n"
    "  --rounds N        hostile rounds (default 2000)\n"
    "  --seed N          their base seed (default 1)\n"
    "  --cycles N        load and unload cycles (default 200)\n"
    "  --time-limit S    seconds for each child process (default 60)\n"
    "  --json            one JSON object instead of lines\n"
    "  --reproduce SEED  replay the one hostile round of that seed, telling its steps on stderr\n"
    "Prints PASS name or FAIL name: reason for each check, then \"N passed, N failed\".\n"
    "Exit status: 0 when every check passed, 1 when one failed, 2 for a bad command line.\n";

struct Options {
    std::string plugin;                // the library to attack, as given
    uint32_t rounds = 2000;            // hostile rounds; at least 1
    uint64_t seed = 1;                 // the rounds' base seed; fixed by default so that runs repeat
    int cycles = 200;                  // load and unload cycles in the lifecycle check; at least 1
    double timeLimit = 60;             // seconds allowed to each child process
    bool json = false;                 // one JSON object instead of lines
    std::optional<uint64_t> reproduce; // a round's own seed: replay that round only
    bool help = false;                 // print the usage and the checks, and run nothing
};

template <class T> bool parseNumber(std::string_view text, T& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// Nothing when the words are not a valid command line; the reason is in `error`.
std::optional<Options> parseOptions(int argc, char** argv, std::string& error)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= argc) {
                error = std::string(word) + " needs a value";
                return std::nullopt;
            }
            return std::string_view(argv[++i]);
        };
        const auto bad = [&](std::string_view text) {
            error = "bad value for ";
            error += word;
            error += ": \"";
            error += text;
            error += '"';
            return std::nullopt;
        };
        if (word == "--help" || word == "-h") {
            options.help = true;
            return options;
        }
        if (word == "--json") {
            options.json = true;
        } else if (word == "--rounds") {
            const auto text = value();
            if (!text) {
                return std::nullopt;
            }
            if (!parseNumber(*text, options.rounds) || options.rounds == 0) {
                return bad(*text);
            }
        } else if (word == "--seed") {
            const auto text = value();
            if (!text) {
                return std::nullopt;
            }
            if (!parseNumber(*text, options.seed)) {
                return bad(*text);
            }
        } else if (word == "--cycles") {
            const auto text = value();
            if (!text) {
                return std::nullopt;
            }
            if (!parseNumber(*text, options.cycles) || options.cycles < 1) {
                return bad(*text);
            }
        } else if (word == "--time-limit") {
            const auto text = value();
            if (!text) {
                return std::nullopt;
            }
            if (!parseNumber(*text, options.timeLimit) || !(options.timeLimit > 0) || options.timeLimit > 86400) {
                return bad(*text);
            }
        } else if (word == "--reproduce") {
            const auto text = value();
            if (!text) {
                return std::nullopt;
            }
            uint64_t seed = 0;
            if (!parseNumber(*text, seed)) {
                return bad(*text);
            }
            options.reproduce = seed;
        } else if (word.size() > 1 && word.front() == '-') {
            error = "unknown option " + std::string(word);
            return std::nullopt;
        } else if (options.plugin.empty()) {
            options.plugin = word;
        } else {
            error = "more than one plug-in given";
            return std::nullopt;
        }
    }
    if (options.plugin.empty() && !options.help) {
        error = "no plug-in given";
        return std::nullopt;
    }
    return options;
}

std::vector<CheckResult> runChecks(const Options& options)
{
    const std::string path = fileLibraryPath(options.plugin);
    std::vector<CheckResult> results;
    results.push_back(checkLibrary(path, options.timeLimit));
    const bool usable = results.front().pass;
    const auto run = [&](const char* name, auto check) {
        if (usable) {
            results.push_back(check());
        } else {
            // Never asked to create anything: the library itself is not one a host would take.
            results.push_back({name, false, "not run: the library check failed"});
        }
    };
    if (options.reproduce) {
        run("hostile", [&] { return replayHostileRound(path, *options.reproduce, options.timeLimit); });
        return results;
    }
    run("lifecycle", [&] { return checkLifecycle(path, options.cycles, options.timeLimit); });
    run("registration", [&] { return checkRegistration(path, options.timeLimit); });
    run("hostile", [&] { return checkHostileRounds(path, options.rounds, options.seed, options.timeLimit); });
    return results;
}

void printJson(const Options& options, const std::vector<CheckResult>& results, size_t passed)
{
    std::string out = "{\"plugin\":";
    host::appendJson(out, std::string_view(options.plugin));
    out += ",\"seed\":";
    out += std::to_string(options.seed);
    out += ",\"rounds\":";
    out += options.reproduce ? "1" : std::to_string(options.rounds);
    if (options.reproduce) {
        out += ",\"reproduce\":";
        out += std::to_string(*options.reproduce);
    }
    out += ",\"checks\":[";
    for (size_t i = 0; i < results.size(); ++i) {
        out += i == 0 ? "{\"name\":" : ",{\"name\":";
        host::appendJson(out, std::string_view(results[i].name));
        out += ",\"pass\":";
        out += results[i].pass ? "true" : "false";
        out += ",\"reason\":";
        host::appendJson(out, std::string_view(results[i].reason));
        out += '}';
    }
    out += "],\"passed\":";
    out += std::to_string(passed);
    out += ",\"failed\":";
    out += std::to_string(results.size() - passed);
    out += "}\n";
    std::fputs(out.c_str(), stdout);
}

} // namespace

int validateMain(int argc, char** argv)
{
    std::string error;
    const std::optional<Options> options = parseOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "arena validate: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::vector<CheckResult> results = runChecks(*options);
    size_t passed = 0;
    for (const CheckResult& result : results) {
        passed += result.pass ? 1 : 0;
    }
    if (options->json) {
        printJson(*options, results, passed);
    } else {
        for (const CheckResult& result : results) {
            if (result.pass) {
                std::printf("PASS %s\n", result.name.c_str());
            } else {
                std::printf("FAIL %s: %s\n", result.name.c_str(), result.reason.c_str());
            }
        }
        std::printf("%zu passed, %zu failed\n", passed, results.size() - passed);
    }
    std::fflush(stdout);
    return passed == results.size() ? 0 : 1;
}
