// `arena validate` as a user runs it: its lines, its exit status, and the check each broken
// library fails. Each test runs in a folder of its own, so parallel tests keep their outputs apart.

#include <gmock/gmock.h>

#ifdef _WIN32
#include <regex>
#endif

#include "tests/arena/arena_program.h"
#include "tests/support/broken_plugin_path.h"

namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

struct Verdict {
    const char* name;
    std::string args;
    int status;
    std::vector<std::string> lines; // a regular expression for each line of standard output
    const char* err = "";           // a text standard error must hold
};

const std::vector<std::string> kAllPass = {"PASS library", "PASS lifecycle", "PASS registration", "PASS hostile",
                                           "4 passed, 0 failed"};

// A library that fails the library check is never asked for anything else.
Verdict notALibrary(const char* name, const std::string& path, const std::string& reason)
{
    const std::string notRun = "FAIL [a-z]+: not run: the library check failed";
    return {name, path, 1, {"FAIL library: " + reason, notRun, notRun, notRun, "0 passed, 4 failed"}};
}

// A library that passes every check but one.
Verdict failsOnly(const char* name, const std::string& args, const std::string& check, const std::string& reason)
{
    Verdict verdict{name, args, 1, kAllPass};
    for (std::string& line : verdict.lines) {
        line = line == "PASS " + check ? "FAIL " + check + ": " + reason : line;
    }
    verdict.lines.back() = "3 passed, 1 failed";
    return verdict;
}

// A round that fails names its seed and the step: "round N (seed N): step N (what): reason".
Verdict failsARound(const char* name, const std::string& step, const std::string& reason)
{
    return failsOnly(name, brokenPlugin(name), "hostile",
                     "round [0-9]+ \\(seed [0-9]+\\): step [0-9]+ \\(" + step + "\\): " + reason +
                         "; replay with --reproduce [0-9]+");
}

class Verdicts : public ::testing::TestWithParam<Verdict>, public ArenaProgram {};

TEST_P(Verdicts, LinesAndStatus)
{
    const Outcome outcome = run("validate " + GetParam().args);
    EXPECT_EQ(outcome.status, GetParam().status) << outcome.err;
    const std::vector<std::string> lines = outcome.lines();
    ASSERT_EQ(lines.size(), GetParam().lines.size()) << outcome.out;
    for (size_t i = 0; i < lines.size(); ++i) {
#ifdef _WIN32 // GoogleTest's own expressions lack classes and alternatives there
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(GetParam().lines[i])))
            << lines[i] << "\n  does not match " << GetParam().lines[i];
#else
        EXPECT_THAT(lines[i], MatchesRegex(GetParam().lines[i]));
#endif
    }
    EXPECT_THAT(outcome.err, HasSubstr(GetParam().err));
}

const std::string kAfterARound = " in round [0-9]+ \\(seed [0-9]+\\); replay with --reproduce [0-9]+";

// What the systems say differently: a crash's name (under the sanitizers, their abort or their exit
// with a report), a missing file, and whether a check its time limit cut short had begun a round. A
// Windows child is this program started again, slower than a fork, and under Wine 180 loads and
// unloads take more than a second.
#ifdef _WIN32
const std::string kShortLimit = "3";
const std::string kCrash = "crashed \\(access violation\\)";
const std::string kNoSuchFile = ".*[Mm]odule (could )?not (be )?found.*";
const std::string kCutShort = "(" + kAfterARound + ")?";
// The system's loader may catch a crash in a library's initializer and fail the load itself.
const std::string kCrashLoading = "(" + kCrash + "|cannot be opened as a library: .*)";
#else
const std::string kShortLimit = "1";
const std::string kCrash = "(crashed \\(SIG[A-Z]+\\)|exited with status [0-9]+ before the check finished)";
const std::string kNoSuchFile = ".*No such file or directory.*";
const std::string kCutShort = kAfterARound;
const std::string kCrashLoading = kCrash;
#endif

INSTANTIATE_TEST_SUITE_P(
    Libraries, Verdicts,
    ::testing::Values(
        Verdict{"volanko", VOLANKO_PLUGIN_PATH, 0, kAllPass},
        Verdict{"volanko_replay",
                std::string("--reproduce 12345 ") + VOLANKO_PLUGIN_PATH,
                0,
                {"PASS library", "PASS hostile", "2 passed, 0 failed"},
                "step 1: "},
        notALibrary("wrong_version", brokenPlugin("wrong_version"),
                    "\"exports\" has hostApiVersion 94, the host needs 95"),
        notALibrary("no_exports", brokenPlugin("no_exports"), "not exported: \"exports\""),
        notALibrary("null_functions", brokenPlugin("null_functions"),
                    "not exported: \"getPlugin\"; \"exports\" createFunction is null"),
        notALibrary("missing_delete", brokenPlugin("missing_delete"), "not exported: \"deleteMe\""),
        notALibrary("not_a_library", brokenPlugin("not_a_library"), "cannot be opened as a library: .*"),
        notALibrary("missing_file", "/nonexistent/libnothing.so", kNoSuchFile),
        notALibrary("crashes_loading", brokenPlugin("crashes_loading"), kCrashLoading),
        failsARound("keeps_wrapper", ".*frames? of .*", "plug-in 1: drawable returned still holding 1 wrapper"),
        failsARound("hands_nan", ".*", "ActorWrapper::SetLocation was handed a number that is not finite; refused"),
        failsARound("throws", ".*", "plug-in 1: drawable threw: the broken drawable gave up"),
        failsARound("null_call", ".*", "ActorWrapper::SetLocation was called on a wrapper that holds nothing"),
        failsOnly("crashes", brokenPlugin("crashes"), "hostile", kCrash + kAfterARound),
        failsOnly("hangs", "--time-limit " + kShortLimit + " " + brokenPlugin("hangs"), "hostile",
                  "timed out after " + kShortLimit + " s" + kAfterARound),
        // The limit bounds the whole check, however many child processes its rounds take.
        failsOnly("many_rounds", "--cycles 1 --rounds 200000 --time-limit 1 " VOLANKO_PLUGIN_PATH, "hostile",
                  "timed out after 1 s" + kCutShort),
        failsOnly("new_object_each_call", "--rounds 10 " + brokenPlugin("new_object_each_call"), "lifecycle",
                  "a second getPlugin made a new object instead of returning the first"),
        // The sanitizer build checks allocations instead of sizes.
        failsOnly("leaks", "--rounds 10 " + brokenPlugin("leaks"), "lifecycle",
                  "(the heap in use grew by [0-9]+ bytes over 180 load and unload cycles after warm-up|the leak "
                  "checker found memory left behind .*)"),
        failsOnly("registers_twice", "--rounds 10 " + brokenPlugin("registers_twice"), "registration",
                  "command \"twice_go\" registered twice"),
        // What a plug-in prints cannot pass for a report line.
        Verdict{"prints", "--rounds 20 " + brokenPlugin("prints"), 0, kAllPass, "PASS everything"}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32 // on Windows the validator's own locale is "C" already: its C library has no "C.UTF-8"
INSTANTIATE_TEST_SUITE_P(Locale, Verdicts,
                         ::testing::Values(failsOnly("sets_locale", "--rounds 10 " + brokenPlugin("sets_locale"),
                                                     "registration",
                                                     "the process locale changed from \"C.UTF-8\" to \"C\" by onLoad")),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

class Validate : public ::testing::Test, public ArenaProgram {};

TEST_F(Validate, JsonGivesTheSameVerdictsAsOneObject)
{
    const Outcome outcome = run(std::string("validate --json --rounds 50 --seed 9 ") + VOLANKO_PLUGIN_PATH);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, std::string("{\"plugin\":\"") + VOLANKO_PLUGIN_PATH +
                               "\",\"seed\":9,\"rounds\":50,\"checks\":[{\"name\":\"library\",\"pass\":true,\"reason\""
                               ":\"\"},{\"name\":\"lifecycle\",\"pass\":true,\"reason\":\"\"},{\"name\":\"registration"
                               "\",\"pass\":true,\"reason\":\"\"},{\"name\":\"hostile\",\"pass\":true,\"reason\":\"\"}]"
                               ",\"passed\":4,\"failed\":0}\n");
}

// A validator killed from outside has already printed the checks that finished.
TEST_F(Validate, EachCheckIsPrintedAsItEnds)
{
    const Outcome killed = killedAfter(8, "validate --cycles 1 --rounds 100000000 " VOLANKO_PLUGIN_PATH);
    EXPECT_EQ(killed.out, "PASS library\nPASS lifecycle\nPASS registration\n");
}

// The seed a failure names replays the same steps, down to the crash.
TEST_F(Validate, TheSeedReplaysTheRound)
{
    const std::string replay = std::string("validate --reproduce 12345 ") + VOLANKO_PLUGIN_PATH;
    EXPECT_EQ(run(replay).err, run(replay).err);

    const std::string line = run("validate " + brokenPlugin("crashes")).lines().at(3);
    const std::string seed = line.substr(line.rfind(' ') + 1);
    const Outcome crash = run("validate --reproduce " + seed + " " + brokenPlugin("crashes"));
    EXPECT_EQ(crash.status, 1);
    ASSERT_EQ(crash.lines().size(), 3u) << crash.out;
    EXPECT_THAT(crash.lines()[1], StartsWith("FAIL hostile: seed " + seed + ": "));
    EXPECT_THAT(crash.lines()[1], HasSubstr(" while replaying seed " + seed));
    EXPECT_EQ(crash.lines()[2], "1 passed, 1 failed");
}

TEST_F(Validate, HelpNamesTheChecksAndMistakesAreRefusedWithUsage)
{
    const Outcome help = run("validate --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, StartsWith("usage: arena validate "));
    EXPECT_THAT(help.out, HasSubstr("\n  hostile "));
    // Words are read in order: the first mistake is the one told, whatever follows it.
    const std::pair<const char*, const char*> mistakes[] = {
        {"", "no plug-in given"},
        {"--rounds 0 --frobnicate x.so", "bad value for --rounds: \"0\""},
        {"--frobnicate --rounds 0 x.so", "unknown option --frobnicate"},
        {"--rounds many x.so", "bad value for --rounds: \"many\""},
        {"a.so b.so --frobnicate", "more than one plug-in given"},
        {"a.so -5", "unknown option -5"},
        {"--seed", "--seed needs a value"},
        {"--seed=", "bad value for --seed: \"\""},
        {"--json=x x.so", "unknown option --json=x"},
        {"--time-limit -1 x.so", "bad value for --time-limit: \"-1\""},
        {"--cycles 0 x.so", "bad value for --cycles: \"0\""},
        {"--reproduce x x.so", "bad value for --reproduce: \"x\""},
        {"x.so --plugin y.so", "unknown option --plugin"},
    };
    for (const auto& [args, message] : mistakes) {
        const Outcome outcome = run(std::string("validate ") + args);
        EXPECT_EQ(outcome.status, 2) << args;
        EXPECT_EQ(outcome.out, "") << args;
        EXPECT_EQ(outcome.err, std::string("arena validate: ") + message +
                                   "\nusage: arena validate [--rounds N] [--seed N] "
                                   "[--cycles N] [--time-limit S] [--json] [--reproduce SEED] PLUGIN\n")
            << args;
    }
    EXPECT_EQ(run("validate --help --seed").out, help.out); // help asked before the mistake
    EXPECT_THAT(run("--help validate").out,
                StartsWith("check that a plug-in is safe to load and run\nUsage: arena [GLOBAL OPTIONS] validate "
                           "[OPTIONS]\n\nOptions:\n  -h,--help "));
}

} // namespace
