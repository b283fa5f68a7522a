// The arena program itself, run as a user runs it.

#include <cstdlib>
#include <filesystem>

#include "tests/arena/arena_program.h"

namespace {

class Arena : public ::testing::Test, public ArenaProgram {};

TEST_F(Arena, FailedScriptLinesAreReportedWithTheirLineAndTheScriptGoesOn)
{
    const std::string script = file("lines.cfg", "bogus\nvolanko_throwlevel\nvolanko_balllocation_x \"(1, 2\n"
                                                 "volanko_throwlevel pro\nvolanko_throwlevel\n");
    const Outcome outcome = run("--seed 1 script " + script);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "volanko_throwlevel = \"beginner\"\nvolanko_throwlevel = \"pro\"\n");
    EXPECT_EQ(outcome.err,
              script + ":1: unknown command \"bogus\"\n" + script + ":3: unterminated quote (opened at column 24)\n");
}

TEST_F(Arena, SameSeedSameOutputByteForByte)
{
    const std::string script = "arena_freeplay 1\nvolanko_start\narena_autopilot 1\narena_frames 2000\narena_dump\n"
                               "arena_trace 1\narena_frames 1\narena_trace 0\narena_frames 3000\narena_dump\n";
    const Outcome first = run("--seed 42 script -", script);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, run("--seed 42 script -", script).out);
    EXPECT_NE(first.out, run("--seed 43 script -", script).out);
}

TEST_F(Arena, PlayPrintsRunLinesThenTheSummaryOrOnlyTheSummary)
{
    const Outcome lines = run("--seed 1 --no-config play --seconds 60");
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_TRUE(lines.out.starts_with("run 1: ")) << lines.out;
    EXPECT_NE(lines.out.find("runs   "), std::string::npos);
    const Outcome json = run("--seed 1 --no-config play --seconds 60 --json --level pro --skill 0.9");
    EXPECT_TRUE(json.out.starts_with("{\"runs\":")) << json.out;
    EXPECT_TRUE(json.out.ends_with(",\"seed\":1,\"level\":\"pro\",\"skill\":0.9,\"configuration\":null}\n"))
        << json.out;
}

// The autopilot must make a minute at "beginner" worth watching, and "pro" clearly harder.
TEST_F(Arena, AutopilotHasRunsStreaksAndFailuresAndProIsHarder)
{
    const auto field = [](const std::string& json, const std::string& name) {
        const size_t at = json.find("\"" + name + "\":");
        return at == std::string::npos ? -1 : std::atoi(json.c_str() + at + name.size() + 3);
    };
    int beginnerBest = 0;
    int beginnerRuns = 0;
    int proBest = 0;
    for (const std::string seed : {"1", "2", "3", "4"}) {
        const Outcome beginner = run("--no-config --seed " + seed + " play --json --level beginner");
        EXPECT_GE(field(beginner.out, "bestStreak"), 2) << beginner.out << beginner.err;
        beginnerBest += field(beginner.out, "bestStreak");
        beginnerRuns += field(beginner.out, "runs");
        proBest += field(run("--no-config --seed " + seed + " play --json --level pro").out, "bestStreak");
    }
    EXPECT_GE(beginnerRuns, 6);
    EXPECT_LT(proBest * 3, beginnerBest * 2);
}

TEST_F(Arena, PlayKeepsTheConfigurationAndNotItsOwnLevel)
{
    ASSERT_TRUE(std::filesystem::create_directories(dir + "/config/volanko"));
    const std::string saved =
        "volanko_throwlevel \"hard\"\nvolanko_balllocation_z \"(500, 600)\"\nsomeone_else \"kept\"\n";
    const std::string config = file("config/volanko/arena.cfg", saved);
    const Outcome play = run("--seed 1 play --seconds 5 --quiet --level pro");
    ASSERT_EQ(play.status, 0) << play.err;
    EXPECT_EQ(play.err, "");
    EXPECT_EQ(read(config), saved);
    // A script reads no configuration unless told to.
    EXPECT_EQ(run("--seed 1 script -", "volanko_throwlevel\n").out, "volanko_throwlevel = \"beginner\"\n");
    EXPECT_EQ(run("--seed 1 --config " + config + " script -", "volanko_throwlevel\n").out,
              "volanko_throwlevel = \"hard\"\n");
}

// What cannot be read or written fails with the system's reason; what is shown is escaped. (Under
// Wine, /dev/full is the build machine's, through drive Z:.)
TEST_F(Arena, FailuresAndOddBytesAreToldPlainly)
{
#ifdef _WIN32
    const std::string folderRead = "Permission denied"; // Windows opens no folder as a file
    const std::string slash = "\\";
#else
    const std::string folderRead = "Is a directory";
    const std::string slash = "/";
#endif
    file("config", "a file where a folder should be");
    const struct {
        std::string args;
        std::string input;
        std::string output;
        int status;
        std::string err; // standard error ends with this
    } cases[] = {
        {"--no-config script " + dir, "", "", 2, "arena: cannot read " + dir + ": " + folderRead + "\n"},
        {"--no-config --seed 1 play --json", "", "/dev/full", 1,
         "arena: cannot write the output: No space left on device\n"},
        {"--no-config --seed 1 script -", "arena_dump\n", "/dev/full", 1,
         "arena: cannot write the output: No space left on device\n"},
        {"validate --rounds 1 --cycles 1 " VOLANKO_PLUGIN_PATH, "", "/dev/full", 1,
         "arena validate: cannot write the output: No space left on device\n"},
        {"--no-config --seed 1 script -", std::string("bo\0gus\x1b[2J\n", 11), "", 1,
         "stdin:1: unknown command \"bo\\x00gus\\x1b[2J\"\n"},
        {"--seed 1 console", "exit\n", "", 0,
         "arena: " + dir + slash + "config" + slash + "volanko" + slash + "arena.cfg: " + dir + slash +
             "config is not a directory; it will not be saved\n"},
        // Asked to save and not saved.
        {"--seed 1 console", "volanko_throwlevel pro\nexit\n", "", 3,
         "arena: not saved (" + dir + slash + "config" + slash + "volanko" + slash + "arena.cfg: " + dir + slash +
             "config is not a directory); changed this session: volanko_throwlevel\n"},
    };
    for (const auto& c : cases) {
        output = c.output;
        const Outcome outcome = run(c.args, c.input);
        EXPECT_EQ(outcome.status, c.status) << c.args;
        EXPECT_TRUE(outcome.err.ends_with(c.err)) << c.args << ": " << outcome.err;
    }
    // A run still under way at the end is counted.
    output.clear();
    EXPECT_TRUE(run("--seed 3 --no-config play --seconds 20 --quiet").out.starts_with("runs                    1\n"));
}

TEST_F(Arena, ConsoleReadsLinesFromAPipeUntilExit)
{
    const Outcome console = run("--seed 9 --no-config console", "volanko_throwlevel\nnope\nexit\nvolanko_throwlevel\n");
    ASSERT_EQ(console.status, 0) << console.err;
    // No prompts off a terminal.
    EXPECT_EQ(console.out, "arena console: Volanko 1.0 loaded, seed 9, configuration none. Ctrl-D or \"exit\" leaves.\n"
                           "volanko_throwlevel = \"beginner\"\nunknown command \"nope\"\n");
}

TEST_F(Arena, BadArgumentsAndUnloadablePlugIns)
{
    for (const char* args :
         {"", "--seed", "--seed -1 play", "--fps 0 play", "--fps 1001 play", "fly", "play --seconds 0",
          "play --level expert", "play --skill 2", "script", "script a b", "console extra",
          "--config x --no-config play", "--wat play", "play --wat", "--seed 3 validate"}) {
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.status, 2) << args;
        EXPECT_TRUE(outcome.err.starts_with("arena: ")) << args << ": " << outcome.err;
        EXPECT_EQ(outcome.out, "") << args;
    }
    EXPECT_TRUE(run("play --level=expert")
                    .err.starts_with("arena: --level: \"expert\" is not one of beginner, easy, normal, hard, pro\n"));
    const Outcome missing = run("--plugin /nonexistent/libX.so script -");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.starts_with("arena: /nonexistent/libX.so: cannot be opened as a library: ")) << missing.err;
}

} // namespace
