// The arena as people expect a command-line program to behave: options where they type them,
// --help and --version. On a terminal: terminal_habits_test.cpp.

#include "tests/arena/arena_program.h"

namespace {

class Habits : public ::testing::Test, public ArenaProgram {};

TEST_F(Habits, OptionsAnywhereHelpForEveryOptionAndVersion)
{
    const Outcome after = run("--no-config play --seed 5 --seconds 20 --quiet");
    ASSERT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(after.out, run("--seed 5 --no-config play --seconds 20 --quiet").out);
    EXPECT_EQ(after.out, run("--seed 4 --no-config play --seconds=20 --quiet --seed=5").out); // the last one counts
    EXPECT_NE(after.out.find("\nseed                    5\n"), std::string::npos) << after.out;

    const std::pair<const char*, std::vector<std::string>> helps[] = {
        {"--help",
         {"--plugin PATH", "--seed N", "--fps N", "--config PATH", "--no-config", "--force", "--version", "play",
          "script", "console", "validate"}},
        {"play --help", {"--seconds S", "--level LEVEL", "--skill K", "--realtime", "--quiet", "--json"}},
        {"script --help", {"FILE"}},
        {"console -h", {"-h,--help"}},
    };
    for (const auto& [args, names] : helps) {
        const Outcome help = run(args);
        EXPECT_EQ(help.status, 0) << args;
        EXPECT_EQ(help.err, "") << args;
        for (const std::string& name : names) {
            // Each option on a line of its own with what it does beside it.
            const size_t at = help.out.find("\n  " + name + " ");
            ASSERT_NE(at, std::string::npos) << args << ": " << name << "\n" << help.out;
            const std::string line = help.out.substr(at + 1, help.out.find('\n', at + 1) - at - 1);
            EXPECT_GT(line.find_first_not_of(' ', 2 + name.size()), 20u) << line;
        }
    }
    const Outcome version = run("--plugin " VOLANKO_PLUGIN_PATH " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "arena 1.0\nVolanko 1.0 (" VOLANKO_PLUGIN_PATH ")\n");

    const Outcome level = run("--no-config script -", "volanko_throwlevel PRO\nvolanko_throwlevel\n");
    EXPECT_EQ(level.status, 0);
    EXPECT_EQ(level.out, "volanko_throwlevel = \"PRO\"\n"); // kept: the variable is free text
    EXPECT_EQ(level.err, "arena: seed " + level.err.substr(12, level.err.find('\n') - 12) +
                             "\nnote: volanko_throwlevel \"PRO\" is none of the levels beginner, easy, normal, hard, "
                             "pro; the car will not be thrown (did you mean \"pro\"?)\n");
}

// Each bound of a number option is its own: the edge is taken (the command then goes on to fail
// at the missing library, status 1), the next value is refused as a bad command line (status 2).
TEST_F(Habits, NumberOptionsTakeTheirEdgeAndRefuseTheNextValue)
{
    const struct {
        std::string args;
        int status;
        std::string refusal; // the first line on standard error when refused
    } cases[] = {
        {"--no-config --plugin missing.so play --seconds 1000000", 1, ""},
        {"--no-config --plugin missing.so play --seconds 1000000.5", 2,
         "arena: --seconds: \"1000000.5\" is not a number of game seconds above 0 and at most 1000000"},
        {"validate --rounds 4294967295 missing.so", 1, ""},
        {"validate --rounds 4294967296 missing.so", 2, "arena validate: bad value for --rounds: \"4294967296\""},
        {"validate --cycles 2147483647 missing.so", 1, ""},
        {"validate --cycles 2147483648 missing.so", 2, "arena validate: bad value for --cycles: \"2147483648\""},
        {"validate --time-limit 86400 missing.so", 1, ""},
        {"validate --time-limit 86400.5 missing.so", 2, "arena validate: bad value for --time-limit: \"86400.5\""},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run(c.args);
        EXPECT_EQ(outcome.status, c.status) << c.args << ": " << outcome.err;
        if (c.status == 2) {
            EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')), c.refusal) << c.args;
        }
    }
}

// The helps as people read them: every command and option, its value's name, and what it does in
// one column.
TEST_F(Habits, HelpsReadAsWritten)
{
    const Outcome top = run("--help");
    EXPECT_EQ(top.status, 0);
    EXPECT_TRUE(top.out.starts_with("Loads a plug-in as the game's plug-in host does and runs it in a simulated free "
                                    "play.\nUsage: arena [OPTIONS] [COMMAND]\n\nOptions:\n"))
        << top.out;
    EXPECT_NE(top.out.find("\n\nCommands:\n"
                           "  play                  the autopilot plays the drill; live view, then summary\n"
                           "  script                run console lines from FILE, or standard input for -\n"
                           "  console               type console lines; Tab completes, Ctrl-D leaves\n"
                           "  replay                write FILE.html: the replay page with the recording FILE inside\n"
                           "  rerun                 play the recording FILE's session again from its controls; compare\n"
                           "  validate              check that a plug-in is safe to load and run\n\n"),
              std::string::npos)
        << top.out;

    const Outcome help = run("play --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, "the autopilot plays the drill; live view, then summary\n"
                        "Usage: arena [GLOBAL OPTIONS] play [OPTIONS]\n"
                        "\n"
                        "Options:\n"
                        "  -h,--help             print this help and exit\n"
                        "  --seconds S           game seconds to play, 0 < S <= 1000000 (default 60)\n"
                        "  --level LEVEL         beginner, easy, normal, hard or pro; this play only\n"
                        "  --skill K             the autopilot's skill, 0 to 1 (default 0.6)\n"
                        "  --realtime            pace frames to the wall clock even off the live view\n"
                        "  --quiet               no live view, no run lines: only the summary\n"
                        "  --json                the summary as one JSON object\n"
                        "  --record FILE         write the session to FILE as it happens (docs/recording.md)\n"
                        "\n");
}

} // namespace
