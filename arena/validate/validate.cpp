#include "arena/validate/validate.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arena/common/concat.h"
#include "arena/common/library_path.h"
#include "arena/common/number_text.h"
#include "arena/common/option_reader.h"
#include "arena/validate/checks.h"
#include "arena/validate/load_trial.h"
#include "platform/stop_signals.h"
#include "runtime/json.h"

namespace arena::validate {

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
    "  --time-limit S    seconds for each check (default 60)\n"
    "  --json            one JSON object instead of lines\n"
    "  --reproduce SEED  replay the one hostile round of that seed, telling its steps on stderr\n"
    "Prints PASS name or FAIL name: reason for each check, then \"N passed, N failed\".\n"
    "Exit status: 0 when every check passed, 1 when one failed, 2 for a bad command line,\n"
    "128 + N when signal N (Ctrl-C, SIGTERM, SIGHUP) interrupted it.\n";

struct Options {
    std::string plugin;                // the library to attack, as given
    uint32_t rounds = 2000;            // hostile rounds; at least 1
    uint64_t seed = 1;                 // the rounds' base seed; fixed by default so that runs repeat
    int cycles = 200;                  // load and unload cycles in the lifecycle check; at least 1
    double timeLimit = 60;             // seconds allowed to each check
    bool json = false;                 // one JSON object instead of lines
    std::optional<uint64_t> reproduce; // a round's own seed: replay that round only
    bool help = false;                 // print the usage and the checks, and run nothing
};

constexpr std::string_view kValued[] = {"--rounds", "--seed", "--cycles", "--time-limit", "--reproduce"};

// Nothing when the words are not a valid command line; the reason is in `error`.
std::optional<Options> parseOptions(int argc, char** argv, std::string& error)
{
    Options options;
    const std::vector<std::string> words(argv + 1, argv + argc);
    arena::OptionReader reader(words);
    while (const auto word = reader.next(kValued)) {
        const std::string& name = word->name;
        const std::string& text = word->value;
        const auto bad = [&] {
            error = arena::concat("bad value for ", name, ": \"", text, "\"");
            return std::nullopt;
        };
        if (name == "--help" || name == "-h") {
            options.help = true;
            return options;
        }
        if (name == "--json") {
            options.json = true;
        } else if (name == "--rounds") {
            const auto rounds = arena::parseUnsigned(text);
            if (!rounds || *rounds == 0 || *rounds > std::numeric_limits<uint32_t>::max()) {
                return bad();
            }
            options.rounds = static_cast<uint32_t>(*rounds);
        } else if (name == "--seed") {
            const auto seed = arena::parseUnsigned(text);
            if (!seed) {
                return bad();
            }
            options.seed = *seed;
        } else if (name == "--cycles") {
            const auto cycles = arena::parseUnsigned(text);
            if (!cycles || *cycles < 1 || *cycles > static_cast<uint64_t>(std::numeric_limits<int>::max())) {
                return bad();
            }
            options.cycles = static_cast<int>(*cycles);
        } else if (name == "--time-limit") {
            const auto limit = arena::parseReal(text);
            if (!limit || !(*limit > 0) || *limit > 86400) {
                return bad();
            }
            options.timeLimit = *limit;
        } else if (name == "--reproduce") {
            options.reproduce = arena::parseUnsigned(text);
            if (!options.reproduce) {
                return bad();
            }
        } else if (!name.empty() && name != "-") {
            error = arena::concat("unknown option ", name);
            return std::nullopt;
        } else if (options.plugin.empty()) {
            options.plugin = word->typed;
        } else {
            error = "more than one plug-in given";
            return std::nullopt;
        }
    }
    if (!reader.error.empty()) {
        error = reader.error;
        return std::nullopt;
    }
    if (options.plugin.empty() && !options.help) {
        error = "no plug-in given";
        return std::nullopt;
    }
    return options;
}

// A check's line, printed as soon as it ends so that a run killed from outside still shows what
// finished.
void printLine(const CheckResult& result)
{
    if (result.pass) {
        std::printf("PASS %s\n", result.name.c_str());
    } else {
        std::printf("FAIL %s: %s\n", result.name.c_str(), result.reason.c_str());
    }
    std::fflush(stdout);
}

std::vector<CheckResult> runChecks(const Options& options)
{
    const std::string path = arena::fileLibraryPath(options.plugin);
    std::vector<CheckResult> results;
    const auto add = [&](CheckResult result) {
        if (!options.json) {
            printLine(result);
        }
        results.push_back(std::move(result));
    };
    add(checkLibrary(path, options.timeLimit));
    const bool usable = results.front().pass;
    const auto run = [&](const char* name, auto check) {
        // Once interrupted nothing more runs: the check under way said so, or a signal came
        // between two checks.
        if (results.back().interrupted != 0) {
            return;
        }
        if (const int signal = platform::StopSignals::received(); signal != 0) {
            add({name, false, "interrupted (" + platform::signalName(signal) + ")", signal});
        } else if (usable) {
            add(check());
        } else {
            // Never asked to create anything: the library itself is not one a host would take.
            add({name, false, "not run: the library check failed"});
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
    runtime::Json checks = runtime::Json::array();
    for (const CheckResult& result : results) {
        checks.push_back({{"name", result.name}, {"pass", result.pass}, {"reason", result.reason}});
    }
    runtime::Json report = {
        {"plugin", options.plugin}, {"seed", options.seed}, {"rounds", options.reproduce ? 1 : options.rounds}};
    if (options.reproduce) {
        report["reproduce"] = *options.reproduce;
    }
    report["checks"] = std::move(checks);
    report["passed"] = passed;
    report["failed"] = results.size() - passed;
    std::fputs((runtime::jsonText(report) + '\n').c_str(), stdout);
}

constexpr const ChildTask* kTasks[] = {&kLibraryTask,      &kLifecycleTask,     &kRegistrationTask,
                                       &kHostileBatchTask, &kHostileReplayTask, &kLoadTrialTask};

} // namespace

void runValidatorChild()
{
    runChildTask(kTasks);
}

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
    // A signal ends the check under way and its child, and the run, with what finished reported.
    const platform::StopSignals signals(true, false);
    const std::vector<CheckResult> results = runChecks(*options);
    size_t passed = 0;
    for (const CheckResult& result : results) {
        passed += result.pass ? 1 : 0;
    }
    if (options->json) {
        printJson(*options, results, passed);
    } else {
        std::printf("%zu passed, %zu failed\n", passed, results.size() - passed);
    }
    // errno still tells why: the failed write was the last call to set it.
    const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (const int signal = platform::StopSignals::received(); signal != 0) {
        return platform::signalStatus(signal);
    }
    if (!written) {
        std::fprintf(stderr, "arena validate: cannot write the output: %s\n", std::strerror(errno != 0 ? errno : EIO));
        return 1;
    }
    return passed == results.size() ? 0 : 1;
}

} // namespace arena::validate
