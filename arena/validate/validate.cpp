#include "arena/validate/validate.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "arena/common/concat.h"
#include "arena/common/library_path.h"
#include "arena/validate/checks.h"
#include "arena/validate/load_trial.h"
#include "platform/stop_signals.h"
#include "runtime/json.h"

namespace arena::validate {

namespace {

constexpr std::string_view kUsage =
    "usage: arena validate [--rounds N] [--seed N] [--cycles N] [--time-limit S] [--json] [--reproduce SEED] PLUGIN\n";

constexpr std::string_view kHelp =
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

std::vector<CheckResult> runChecks(const ValidateOptions& options, const PluginWords& words)
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
        run("hostile", [&] { return replayHostileRound(path, *options.reproduce, words, options.timeLimit); });
        return results;
    }
    run("lifecycle", [&] { return checkLifecycle(path, options.cycles, options.timeLimit); });
    run("registration", [&] { return checkRegistration(path, options.timeLimit); });
    run("hostile", [&] { return checkHostileRounds(path, options.rounds, options.seed, words, options.timeLimit); });
    return results;
}

void printJson(const ValidateOptions& options, const std::vector<CheckResult>& results, size_t passed)
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

std::string_view usage()
{
    return kUsage;
}

std::string_view help()
{
    return kHelp;
}

int run(const ValidateOptions& options, const PluginWords& words)
{
    // A signal ends the check under way and its child, and the run, with what finished reported.
    const platform::StopSignals signals(true, false);
    const std::vector<CheckResult> results = runChecks(options, words);
    size_t passed = 0;
    for (const CheckResult& result : results) {
        passed += result.pass ? 1 : 0;
    }
    if (options.json) {
        printJson(options, results, passed);
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
