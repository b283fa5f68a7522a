// `arena validate` as a user runs it: its lines, its exit status, and the check each broken
// library fails.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "broken_plugin_path.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

struct ProgramRun {
    int status = -1;
    std::vector<std::string> lines; // stdout, line by line
    std::string err;                // stderr
};

std::string quoted(const std::string& word)
{
    std::string out = "'";
    for (char c : word) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    out += '\'';
    return out;
}

ProgramRun validate(const std::vector<std::string>& args)
{
    const std::string errFile = ::testing::TempDir() + "validate_stderr.txt";
    std::string command = quoted(ARENA_PROGRAM);
    command += " validate";
    for (const std::string& arg : args) {
        command += ' ';
        command += quoted(arg);
    }
    command += " 2>";
    command += quoted(errFile);
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    std::string out;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        run.lines.push_back(line);
    }
    std::ifstream err(errFile);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return run;
}

std::string testPlugin(const std::string& name)
{
    std::string path = VALIDATE_PLUGIN_DIR;
    path += "/libvalidate_";
    path += name;
    path += ".so";
    return path;
}

// The line of the named check, or "" when there is none.
std::string lineOf(const ProgramRun& run, const std::string& check)
{
    for (const std::string& line : run.lines) {
        if (line.rfind("PASS " + check, 0) == 0 || line.rfind("FAIL " + check + ":", 0) == 0) {
            return line;
        }
    }
    return "";
}

TEST(ValidateVolanko, PrintsOnlyPassLinesAndExitsZero)
{
    const ProgramRun run = validate({VOLANKO_PLUGIN_PATH});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.lines, ElementsAre("PASS library", "PASS lifecycle", "PASS registration", "PASS hostile",
                                       "4 passed, 0 failed"));
}

TEST(ValidateVolanko, JsonGivesTheSameVerdictsAsOneObject)
{
    const ProgramRun run = validate({"--json", "--rounds", "50", "--seed", "9", VOLANKO_PLUGIN_PATH});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 1u);
    std::string expected = "{\"plugin\":\"";
    expected += VOLANKO_PLUGIN_PATH;
    expected += "\",\"seed\":9,\"rounds\":50,\"checks\":[{\"name\":\"library\",\"pass\":true,\"reason\":\"\"},"
                "{\"name\":\"lifecycle\",\"pass\":true,\"reason\":\"\"},"
                "{\"name\":\"registration\",\"pass\":true,\"reason\":\"\"},"
                "{\"name\":\"hostile\",\"pass\":true,\"reason\":\"\"}],\"passed\":4,\"failed\":0}";
    EXPECT_EQ(run.lines.front(), expected);
}

TEST(ValidateVolanko, ReplaysOneRoundAndTellsItsSteps)
{
    const ProgramRun run = validate({"--reproduce", "12345", VOLANKO_PLUGIN_PATH});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.lines, ElementsAre("PASS library", "PASS hostile", "2 passed, 0 failed"));
    EXPECT_THAT(run.err, StartsWith("step 1: "));
    // The same seed gives the same steps.
    EXPECT_EQ(validate({"--reproduce", "12345", VOLANKO_PLUGIN_PATH}).err, run.err);
}

// A library that fails the library check is never asked for anything else.
struct LibraryFailure {
    const char* plugin;
    const char* reason;
};

void PrintTo(const LibraryFailure& failure, std::ostream* out)
{
    *out << failure.plugin;
}

class LibraryFailures : public ::testing::TestWithParam<LibraryFailure> {};

TEST_P(LibraryFailures, FailTheLibraryCheckAndRunNothingElse)
{
    const ProgramRun run = validate({brokenPlugin(GetParam().plugin)});
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 5u);
    EXPECT_EQ(run.lines[0], std::string("FAIL library: ") + GetParam().reason);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_THAT(run.lines[i], MatchesRegex("FAIL [a-z]+: not run: the library check failed"));
    }
    EXPECT_EQ(run.lines[4], "0 passed, 4 failed");
}

INSTANTIATE_TEST_SUITE_P(
    Broken, LibraryFailures,
    ::testing::Values(LibraryFailure{"wrong_version", "\"exports\" has hostApiVersion 94, the host needs 95"},
                      LibraryFailure{"no_exports", "not exported: \"exports\""},
                      LibraryFailure{"null_functions",
                                     "not exported: \"getPlugin\"; \"exports\" createFunction is null"},
                      LibraryFailure{"missing_delete", "not exported: \"deleteMe\""}),
    [](const auto& info) { return std::string(info.param.plugin); });

TEST(LibraryFailures, TextFileAndMissingFileAreNotLibraries)
{
    const ProgramRun text = validate({brokenPlugin("not_a_library")});
    EXPECT_EQ(text.status, 1);
    EXPECT_THAT(lineOf(text, "library"), StartsWith("FAIL library: cannot be opened as a library: "));
    EXPECT_EQ(text.lines.back(), "0 passed, 4 failed");

    const ProgramRun missing = validate({"/nonexistent/libnothing.so"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(lineOf(missing, "library"), HasSubstr("No such file or directory"));
}

// Libraries that load and behave until the hostile rounds find them out.
struct HostileFailure {
    const char* plugin;
    const char* reason; // a regular expression for the reason
};

void PrintTo(const HostileFailure& failure, std::ostream* out)
{
    *out << failure.plugin;
}

class HostileFailures : public ::testing::TestWithParam<HostileFailure> {};

TEST_P(HostileFailures, PassTheOtherChecksAndFailTheRoundsWithASeed)
{
    const ProgramRun run = validate({brokenPlugin(GetParam().plugin)});
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 5u) << run.err;
    EXPECT_EQ(run.lines[0], "PASS library");
    EXPECT_EQ(run.lines[1], "PASS lifecycle");
    EXPECT_EQ(run.lines[2], "PASS registration");
    EXPECT_THAT(run.lines[3],
                MatchesRegex(std::string("FAIL hostile: ") + GetParam().reason + "; replay with --reproduce [0-9]+"));
    EXPECT_EQ(run.lines[4], "3 passed, 1 failed");
}

INSTANTIATE_TEST_SUITE_P(
    Broken, HostileFailures,
    ::testing::Values(
        HostileFailure{"keeps_wrapper", "round [0-9]+ \\(seed [0-9]+\\): step [0-9]+ \\(.*frames? of .*\\): "
                                        "plug-in 1: drawable returned still holding 1 wrapper"},
        HostileFailure{"hands_nan", "round [0-9]+ \\(seed [0-9]+\\): step [0-9]+ \\(.*\\): "
                                    "ActorWrapper::SetLocation was handed a number that is not finite; refused"},
        HostileFailure{"throws", "round [0-9]+ \\(seed [0-9]+\\): step [0-9]+ \\(.*\\): "
                                 "plug-in 1: drawable threw: the broken drawable gave up"},
        HostileFailure{"null_call", "round [0-9]+ \\(seed [0-9]+\\): step [0-9]+ \\(.*\\): "
                                    "ActorWrapper::SetLocation was called on a wrapper that holds nothing"},
        // A crash under the sanitizers is their abort, or their exit with a report.
        HostileFailure{"crashes",
                       "(crashed \\(SIG[A-Z]+\\)|exited with status [0-9]+ before the check finished) in round "
                       "[0-9]+ \\(seed [0-9]+\\)"}),
    [](const auto& info) { return std::string(info.param.plugin); });

TEST(HostileFailures, TheSeedReplaysTheCrash)
{
    const ProgramRun run = validate({brokenPlugin("crashes")});
    const std::string line = lineOf(run, "hostile");
    const size_t at = line.rfind("--reproduce ");
    ASSERT_NE(at, std::string::npos) << line;
    const std::string seed = line.substr(at + 12);

    const ProgramRun replay = validate({"--reproduce", seed, brokenPlugin("crashes")});
    EXPECT_EQ(replay.status, 1);
    ASSERT_EQ(replay.lines.size(), 3u);
    EXPECT_EQ(replay.lines[0], "PASS library");
    EXPECT_THAT(replay.lines[1], StartsWith("FAIL hostile: seed " + seed + ": "));
    EXPECT_THAT(replay.lines[1], HasSubstr(" while replaying seed " + seed));
    EXPECT_EQ(replay.lines[2], "1 passed, 1 failed");
}

TEST(HostileFailures, AHangIsKilledAtTheTimeLimit)
{
    const ProgramRun run = validate({"--time-limit", "1", testPlugin("hangs")});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(lineOf(run, "hostile"),
                MatchesRegex("FAIL hostile: timed out after 1 s in round [0-9]+ \\(seed [0-9]+\\); "
                             "replay with --reproduce [0-9]+"));
    EXPECT_EQ(run.lines.back(), "3 passed, 1 failed");
}

TEST(LifecycleFailures, ANewObjectOnEveryGetPlugin)
{
    const ProgramRun run = validate({"--rounds", "10", testPlugin("new_object_each_call")});
    EXPECT_EQ(lineOf(run, "lifecycle"),
              "FAIL lifecycle: a second getPlugin made a new object instead of returning the first");
    EXPECT_EQ(run.status, 1);
}

TEST(LifecycleFailures, ALeakInEveryLoad)
{
    const ProgramRun run = validate({"--rounds", "10", testPlugin("leaks")});
    // The sanitizer build checks allocations instead of sizes.
    EXPECT_THAT(lineOf(run, "lifecycle"),
                MatchesRegex("FAIL lifecycle: (the heap in use grew by [0-9]+ bytes over 180 load and unload "
                             "cycles after warm-up|the leak checker found memory left behind .*)"));
    EXPECT_EQ(run.lines.back(), "3 passed, 1 failed");
}

TEST(RegistrationFailures, ACommandRegisteredTwice)
{
    const ProgramRun run = validate({"--rounds", "10", testPlugin("registers_twice")});
    EXPECT_EQ(lineOf(run, "registration"), "FAIL registration: command \"twice_go\" registered twice");
    EXPECT_EQ(run.lines.back(), "3 passed, 1 failed");
}

TEST(RegistrationFailures, TheLocaleSwitchedAtLoad)
{
    const ProgramRun run = validate({"--rounds", "10", testPlugin("sets_locale")});
    EXPECT_EQ(lineOf(run, "registration"),
              "FAIL registration: the process locale changed from \"C.UTF-8\" to \"C\" by onLoad");
    EXPECT_EQ(run.lines.back(), "3 passed, 1 failed");
}

TEST(ValidatePrintingPlugin, CannotForgeReportLines)
{
    const ProgramRun run = validate({"--rounds", "20", testPlugin("prints")});
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(run.lines, ElementsAre("PASS library", "PASS lifecycle", "PASS registration", "PASS hostile",
                                       "4 passed, 0 failed"));
    EXPECT_THAT(run.err, HasSubstr("PASS everything"));
}

TEST(CommandLine, HelpNamesTheChecksAndRunsNothing)
{
    const ProgramRun run = validate({"--help"});
    EXPECT_EQ(run.status, 0);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_THAT(run.lines.front(), StartsWith("usage: arena validate "));
    EXPECT_THAT(run.lines, ::testing::Contains(StartsWith("  hostile ")));
}

TEST(CommandLine, MistakesAreRefusedWithUsage)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"--rounds", "0", "x.so"},
                                                 {"--rounds", "many", "x.so"},
                                                 {"--frobnicate", "x.so"},
                                                 {"a.so", "b.so"},
                                                 {"--seed"},
                                                 {"--time-limit", "-1", "x.so"}}) {
        const ProgramRun run = validate(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.lines.empty());
        EXPECT_THAT(run.err, HasSubstr("usage: arena validate"));
    }
}

} // namespace
