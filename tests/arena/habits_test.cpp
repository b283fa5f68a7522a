// The arena as people expect a command-line program to behave: options where they type them,
// --help and --version, and a console that edits by characters, completes on Tab, drops a line on
// Ctrl-C and remembers its history from one session to the next.

#include "arena_program.h"
#include "terminal.h"

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
         {"--plugin PATH", "--seed N", "--fps N", "--config PATH", "--no-config", "--version", "play", "script",
          "console", "validate"}},
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

TEST_F(Habits, ConsoleEditsCharactersCompletesDropsAndRemembers)
{
    const std::string value = "\nvolanko_throwlevel = \"";
    // Each line is typed once the console shows its prompt again, as a person types.
    const std::pair<std::string, std::string> lines[] = {
        {"volanko_throwl\tpr\t\r", "\n"}, // Tab completes the variable, then the level after it
        {"volanko_throwlevel\r", value + "pro\""},
        {"bogus\x03", "^C"},                            // Ctrl-C drops the line and the console goes on
        {"volanko_throwlevel \xc3\xa9\x1b[Da\r", "\n"}, // Left moves by a character
        {"volanko_throwlevel\r", value + "a\xc3\xa9\""},
        {"volanko_throwlevel n\xc3\xa9\177e\r", "\n"}, // Backspace (DEL) erases a character, not a byte of it
        {"volanko_throwlevel\r", value + "ne\""},
    };
    {
        Terminal console(dir);
        ASSERT_TRUE(console.type("", "] ")) << console.screen;
        for (const auto& [keys, expected] : lines) {
            EXPECT_TRUE(console.type(keys, expected) && console.type("", "] ")) << keys << "\n" << console.screen;
        }
        EXPECT_TRUE(console.type("\x04", "\n"));
        EXPECT_EQ(console.wait(), 0);
        EXPECT_EQ(console.screen.find("bogus\""), std::string::npos) << console.screen;
    }
    // The next session starts with the last one's lines: two lines back is the "ne" line.
    Terminal console(dir);
    ASSERT_TRUE(console.type("", "] "));
    EXPECT_TRUE(console.type("\x1b[A\x1b[A\r", "\n") && console.type("", "] ")) << console.screen;
    EXPECT_TRUE(console.type("volanko_throwlevel\r", value + "ne\"")) << console.screen;
    EXPECT_TRUE(console.type("exit\r", "exit"));
    EXPECT_EQ(console.wait(), 0);
}

TEST_F(Habits, LiveViewFollowsAResizeAndWarningsFollowIt)
{
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/volanko'").c_str()), 0);
    file("volanko/arena.cfg", "volanko_throwlevel \"PRO\"\nbroken line here\n");
    Terminal play(dir, {"--seed", "1", "play", "--seconds", "1"});
    // 80 columns hold the status in one line; 40 (the view then has 11 rows) need two.
    ASSERT_TRUE(play.type("", "\n+-------------------------+  ")) << play.screen;
    play.resize(40, 13);
    EXPECT_TRUE(play.type("", "\n\x1b[0m\x1b[1mskill 0.60  runs 0")) << play.screen;
    ASSERT_TRUE(play.type("", "(did you mean \"pro\"?)")) << play.screen;
    EXPECT_EQ(play.wait(), 0);
    const size_t viewEnds = play.screen.find("\x1b[?25h");
    const size_t broken = play.screen.find("arena.cfg:2: expected a name");
    const size_t hint = play.screen.find("note: volanko_throwlevel \"PRO\" is none of the levels");
    EXPECT_LT(viewEnds, broken) << play.screen;
    EXPECT_LT(broken, hint);
    EXPECT_NE(hint, std::string::npos);
}

} // namespace
