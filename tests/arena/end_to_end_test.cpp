// The arena program itself, run as a user runs it.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Arena : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/arena-e2e-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        const std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    std::string file(const std::string& name, const std::string& text)
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Runs the program with `args` (shell words), `input` on standard input, and a config home
    // of its own so that nothing touches the user's.
    Outcome arena(const std::string& args, const std::string& input = "")
    {
        const std::string in = file("stdin", input);
        std::string command = "XDG_CONFIG_HOME='" + dir + "/config' '" ARENA_PROGRAM "' ";
        command += args;
        command += " <'" + in + "' >'" + dir + "/stdout' 2>'" + dir + "/stderr'";
        const int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = slurp(dir + "/stdout");
        outcome.err = slurp(dir + "/stderr");
        return outcome;
    }

    std::string dir;
};

TEST_F(Arena, WorkedExampleOfTheThrow)
{
    const Outcome run = arena("--seed 3 script -", "arena_freeplay 1\n"
                                                   "volanko_balllocation_x 1000\n"
                                                   "volanko_balllocation_y 2000\n"
                                                   "volanko_balllocation_z 500\n"
                                                   "volanko_throwlevel easy\n"
                                                   "volanko_start\n"
                                                   "arena_hit\n"
                                                   "arena_dump\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // Start mirrored to (-1000, -2000) and raised to 1000; thrown along (2000, 4000, -500) / 4500
    // with the downward part dropped, times 1000.
    EXPECT_NE(run.out.find("\"car\":{\"location\":[-1000,-2000,1000],\"velocity\":[444.44446,888.8889,0],"
                           "\"rotation\":[0,0,0],\"angularVelocity\":[0,0,0],\"contact\":\"ground\"}"),
              std::string::npos)
        << run.out;
}

TEST_F(Arena, OverlayOnA1920By1080Canvas)
{
    // The frame step begins a run when the car is in the air; touching the ground again in the next
    // frame ends it, which raises the banner. Paused, so physics leaves the contact as set.
    const Outcome run = arena("--seed 3 script -", "arena_freeplay 1\n"
                                                   "volanko_start\n"
                                                   "arena_canvas 1920 1080\n"
                                                   "arena_pause 1\n"
                                                   "arena_set car contact air\n"
                                                   "arena_frames 1\n"
                                                   "arena_set car contact ground\n"
                                                   "arena_frames 1\n"
                                                   "arena_dump\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string white = "\"color\":[255,255,255,255]";
    EXPECT_NE(run.out.find("\"draws\":[{\"position\":[860,1050]," + white +
                           ",\"text\":\"Current Time: 0.000000\","
                           "\"scale\":[1,1]},{\"position\":[1060,1020]," +
                           white + ",\"text\":\"Current Streak: 0\",\"scale\":[1,1]},{\"position\":[1060,1050]," +
                           white + ",\"text\":\"Best Streak: 0\",\"scale\":[1,1]},{\"position\":[860,1020]," + white +
                           ",\"text\":\"Average Time: 0.000000\",\"scale\":[1,1]},{\"position\":[840,490],"
                           "\"color\":[255,0,0,255],\"text\":\"Failed!\",\"scale\":[5,5]}]"),
              std::string::npos)
        << run.out;
}

TEST_F(Arena, FailedLinesAreReportedWithTheirLineAndTheScriptGoesOn)
{
    const std::string script = file("lines.cfg", "bogus\n"
                                                 "volanko_throwlevel\n"
                                                 "volanko_balllocation_x \"(1, 2\n"
                                                 "volanko_throwlevel pro\n"
                                                 "volanko_throwlevel\n");
    const Outcome run = arena("--seed 1 script " + script);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "volanko_throwlevel = \"beginner\"\nvolanko_throwlevel = \"pro\"\n");
    EXPECT_EQ(run.err,
              script + ":1: unknown command \"bogus\"\n" + script + ":3: unterminated quote (opened at column 24)\n");
}

TEST_F(Arena, SameSeedSameOutputByteForByte)
{
    const std::string script = "arena_freeplay 1\nvolanko_start\narena_autopilot 1\narena_frames 2000\narena_dump\n"
                               "arena_trace 1\narena_frames 1\narena_trace 0\narena_frames 3000\narena_dump\n";
    const Outcome first = arena("--seed 42 script -", script);
    const Outcome second = arena("--seed 42 script -", script);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, second.out);
    EXPECT_NE(first.out.find("{\"call\":\"GameWrapper::IsInFreeplay\",\"args\":[],\"result\":true}"),
              std::string::npos);
    const Outcome other = arena("--seed 43 script -", script);
    EXPECT_NE(first.out, other.out);

    const Outcome playOnce = arena("--seed 5 --no-config play --seconds 120");
    const Outcome playTwice = arena("--seed 5 --no-config play --seconds 120");
    ASSERT_EQ(playOnce.status, 0) << playOnce.err;
    EXPECT_EQ(playOnce.out, playTwice.out);
    EXPECT_NE(playOnce.out.find("\nseed                    5\n"), std::string::npos) << playOnce.out;
}

TEST_F(Arena, PlaySummaryFormsAndRunLines)
{
    const Outcome lines = arena("--seed 1 --no-config play --seconds 60");
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_TRUE(lines.out.starts_with("run 1: ")) << lines.out;
    EXPECT_NE(lines.out.find("runs   "), std::string::npos);

    const Outcome quiet = arena("--seed 1 --no-config play --seconds 60 --quiet");
    EXPECT_TRUE(quiet.out.starts_with("runs   ")) << quiet.out;

    const Outcome json = arena("--seed 1 --no-config play --seconds 60 --json --level pro --skill 0.9");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(json.out.starts_with("{\"runs\":")) << json.out;
    EXPECT_TRUE(json.out.ends_with(",\"seed\":1}\n")) << json.out;
}

// The autopilot must make a minute at "beginner" worth watching, and "pro" clearly harder.
TEST_F(Arena, AutopilotHasRunsStreaksAndFailuresAndProIsHarder)
{
    int beginnerBest = 0;
    int proBest = 0;
    int beginnerRuns = 0;
    for (const char* seed : {"1", "2", "3", "4"}) {
        const Outcome beginner = arena(std::string("--no-config --seed ") + seed + " play --json --level beginner");
        const Outcome pro = arena(std::string("--no-config --seed ") + seed + " play --json --level pro");
        ASSERT_EQ(beginner.status, 0) << beginner.err;
        const auto field = [](const std::string& json, const std::string& name) {
            const size_t at = json.find("\"" + name + "\":");
            return at == std::string::npos ? -1 : std::atoi(json.c_str() + at + name.size() + 3);
        };
        EXPECT_GE(field(beginner.out, "bestStreak"), 2) << beginner.out;
        beginnerBest += field(beginner.out, "bestStreak");
        beginnerRuns += field(beginner.out, "runs");
        proBest += field(pro.out, "bestStreak");
    }
    EXPECT_GE(beginnerRuns, 8);
    EXPECT_LT(proBest * 3, beginnerBest * 2);
}

TEST_F(Arena, PlayKeepsTheConfigurationAndNotItsOwnLevel)
{
    const std::string config = dir + "/config/volanko/arena.cfg";
    file("seed.cfg", "");
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/config/volanko'").c_str()), 0);
    file("config/volanko/arena.cfg", "volanko_throwlevel \"hard\"\nvolanko_balllocation_z \"(500, 600)\"\n"
                                     "someone_else \"kept\"\nbroken line here\n");
    const Outcome run = arena("--seed 1 play --seconds 5 --quiet --level pro");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, config + ":4: expected a name and a quoted value: name \"value\"\n");
    EXPECT_EQ(slurp(config), "volanko_balllocation_x \"(-5000, 5000)\"\nvolanko_balllocation_y \"(-4000, 4000)\"\n"
                             "volanko_balllocation_z \"(500, 600)\"\nvolanko_throwplayer \"1\"\n"
                             "volanko_throwlevel \"hard\"\nsomeone_else \"kept\"\n");

    // A script reads no configuration unless told to.
    const Outcome script = arena("--seed 1 script -", "volanko_throwlevel\n");
    EXPECT_EQ(script.out, "volanko_throwlevel = \"beginner\"\n");
    const Outcome configured = arena("--seed 1 --config '" + config + "' script -", "volanko_throwlevel\n");
    EXPECT_EQ(configured.out, "volanko_throwlevel = \"hard\"\n");
}

TEST_F(Arena, ConsoleReadsLinesFromAPipe)
{
    const Outcome run = arena("--seed 9 --no-config console", "volanko_throwlevel\nnope\nexit\nvolanko_throwlevel\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("seed 9"), std::string::npos);
    EXPECT_NE(run.out.find("] volanko_throwlevel = \"beginner\"\n] unknown command \"nope\"\n] "), std::string::npos)
        << run.out;
}

TEST_F(Arena, BadArgumentsAndUnloadablePlugIns)
{
    for (const char* args : {"", "--seed", "--seed -1 play", "--fps 0 play", "--fps 1001 play", "fly",
                             "play --seconds 0", "play --level expert", "play --skill 2", "script", "script a b",
                             "console extra", "--config x --no-config play", "--wat play"}) {
        const Outcome run = arena(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.err.starts_with("arena: ")) << args << ": " << run.err;
        EXPECT_EQ(run.out, "") << args;
    }
    const Outcome missing = arena("--plugin /nonexistent/libX.so script -");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.starts_with("arena: /nonexistent/libX.so: cannot be opened as a library: ")) << missing.err;

    const std::string text = file("text.so", "not a library");
    const Outcome notLibrary = arena("--plugin " + text + " script -");
    EXPECT_EQ(notLibrary.status, 1);

    const Outcome help = arena("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: arena ")) << help.out;
}

TEST_F(Arena, SeedIsChosenAndPrintedWhenNotGiven)
{
    const Outcome run = arena("script -", "");
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.starts_with("arena: seed ")) << run.err;
}

} // namespace
