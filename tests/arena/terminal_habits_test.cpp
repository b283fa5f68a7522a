// The arena on a terminal as people expect it: a console that edits by characters, completes on
// Tab (listing the choices in columns that fit), drops a line on Ctrl-C, leaves quietly on Ctrl-D
// and remembers its history from one session to the next (when the history file is a plain one),
// and a live view that follows a resize, keeps to what the environment says the terminal takes,
// and ends with the figures of the summary.

#include <sys/stat.h>

#include "tests/arena/terminal.h"

namespace {

class TerminalHabits : public ::testing::Test, public ArenaProgram {};

TEST_F(TerminalHabits, ConsoleEditsCharactersCompletesDropsAndRemembers)
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
        console.drain();
        EXPECT_EQ(console.screen.find("bogus\""), std::string::npos) << console.screen;
        EXPECT_EQ(console.screen.find("^D"), std::string::npos) << "Ctrl-D leaves quietly\n" << console.screen;
    }
    // The next session starts with the last one's lines: two lines back is the "ne" line.
    Terminal console(dir);
    ASSERT_TRUE(console.type("", "] "));
    EXPECT_TRUE(console.type("\x1b[A\x1b[A\r", "\n") && console.type("", "] ")) << console.screen;
    EXPECT_TRUE(console.type("volanko_throwlevel\r", value + "ne\"")) << console.screen;
    EXPECT_TRUE(console.type("exit\r", "exit"));
    EXPECT_EQ(console.wait(), 0);
}

// A FIFO there would hold the console before its first prompt, a huge file fill its memory.
TEST_F(TerminalHabits, AHistoryFileThatIsNotARegularOneOfABoundedSizeIsLeftAlone)
{
    const std::string history = dir + "/volanko/history";
    const struct {
        std::string make;
        std::string why;
        mode_t type;
        off_t size; // afterwards, of a regular file
    } cases[] = {
        {"mkfifo '" + history + "'", "not a regular file", S_IFIFO, 0},
        {"truncate -s 4194305 '" + history + "'", "over 4194304 bytes", S_IFREG, 4194305},
    };
    for (const auto& c : cases) {
        const std::string make = "rm -rf '" + dir + "/volanko' && mkdir '" + dir + "/volanko' && " + c.make;
        ASSERT_EQ(std::system(make.c_str()), 0);
        Terminal console(dir);
        ASSERT_TRUE(console.type("", "arena: history " + history + " skipped (" + c.why +
                                         "); this session's lines are kept in memory only\r\n"))
            << console.screen;
        ASSERT_TRUE(console.type("", "] ")) << console.screen;
        EXPECT_TRUE(console.type("volanko_throwlevel pro\r", "\n") && console.type("", "] ")) << console.screen;
        EXPECT_TRUE(console.type("exit\r", "exit"));
        EXPECT_EQ(console.wait(), 0);
        struct stat info {};
        ASSERT_EQ(::lstat(history.c_str(), &info), 0) << c.why;
        EXPECT_EQ(info.st_mode & S_IFMT, c.type) << c.why;
        EXPECT_EQ(S_ISREG(info.st_mode) ? info.st_size : 0, c.size) << c.why;
    }
}

TEST_F(TerminalHabits, TabListsTheChoicesInColumnsThatFitTheTerminal)
{
    // Every name the first word may be, in order.
    std::vector<std::string> names;
    std::istringstream all(
        "arena_autopilot arena_canvas arena_controls arena_dump arena_frames arena_freeplay arena_hit arena_pause "
        "arena_reload arena_remove arena_set arena_spawn arena_time arena_trace exit quit "
        "volanko_balllocation_x volanko_balllocation_y volanko_balllocation_z volanko_start "
        "volanko_stop volanko_throwlevel volanko_throwplayer");
    for (std::string name; all >> name;) {
        names.push_back(name);
    }
    // Down, then across; 46 columns hold two of the longest name and the gap between them exactly,
    // 22 one, 16 none whole.
    for (const auto& [width, columns] : {std::pair{80, 3}, {46, 2}, {45, 1}, {22, 1}, {16, 1}}) {
        Terminal console(dir);
        console.resize(static_cast<unsigned short>(width), 24);
        ASSERT_TRUE(console.type("", "] ")) << console.screen;
        const size_t from = console.screen.size();
        ASSERT_TRUE(console.type("\t", "] ")) << console.screen;
        const std::string shown = console.screen.substr(from);
        const std::vector<std::string> lines = linesOf(shown.substr(shown.find('\n') + 1));
        std::vector<std::string> listed;
        for (size_t i = 0; i + 1 < lines.size(); ++i) { // the last is the prompt again
            const std::string line = lines[i].substr(0, lines[i].find('\r'));
            EXPECT_TRUE(line.size() <= static_cast<size_t>(width) || line.find(' ') == std::string::npos)
                << width << ": \"" << line << "\"";
            std::istringstream words(line);
            size_t inLine = 0;
            for (std::string word; words >> word; ++inLine) {
                listed.push_back(word);
            }
            EXPECT_TRUE(i == 0 ? inLine == static_cast<size_t>(columns) : inLine <= static_cast<size_t>(columns))
                << width << ": \"" << line << "\"";
        }
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, names) << width << "\n" << shown;
    }
}

TEST_F(TerminalHabits, LiveViewFollowsAResizeAndWarningsFollowIt)
{
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/volanko'").c_str()), 0);
    file("volanko/arena.cfg", "volanko_throwlevel \"PRO\"\nbroken line here\n");
    // A play longer than any test, ended once the resize has shown: a short one could end first on
    // a loaded machine, which plays the frames it fell behind on at once.
    Terminal play(dir, {"--seed", "1", "play", "--seconds", "100000"});
    // 80 columns hold the status in one line; 40 need three, the level starting the second.
    ASSERT_TRUE(play.type("", "\n+- from above -")) << play.screen;
    play.resize(40, 13);
    EXPECT_TRUE(play.type("", "\n\x1b[0m\x1b[1mlevel PRO  skill 0.60  runs ")) << play.screen;
    play.send(SIGINT);
    ASSERT_TRUE(play.type("", "(did you mean \"pro\"?)")) << play.screen;
    EXPECT_EQ(play.wait(), 130);
    const size_t viewEnds = play.screen.find("\x1b[?25h");
    const size_t broken = play.screen.find("arena.cfg:2: expected a name");
    const size_t hint = play.screen.find("note: volanko_throwlevel \"PRO\" is none of the levels");
    EXPECT_LT(viewEnds, broken) << play.screen;
    EXPECT_LT(broken, hint);
    EXPECT_NE(hint, std::string::npos);
}

TEST_F(TerminalHabits, LiveViewLeavesOutColoursOrCursorMovesAsTheEnvironmentSays)
{
    const std::vector<const char*> args = {"--seed", "7", "--no-config", "play", "--level", "easy", "--seconds", "1"};
    // Off a terminal: the run lines and the summary.
    const std::string lines = run("--seed 7 --no-config play --level easy --seconds 1").out;
    ASSERT_TRUE(lines.starts_with("run 1: ")) << lines;
    const struct {
        std::vector<std::string> environment;
        bool colours;
        bool view;
    } cases[] = {
        {{}, true, true},
        {{"NO_COLOR="}, true, true}, // set but empty: no say
        {{"NO_COLOR=1"}, false, true},
        {{"TERM=dumb"}, false, false},
        {{"TERM"}, false, false},
        {{"TERM="}, false, false},
        {{"TERM=dumb", "NO_COLOR=1"}, false, false},
    };
    for (const auto& [environment, colours, view] : cases) {
        const std::string name = environment.empty() ? "TERM=xterm" : environment.front();
        Terminal play(dir, args, "", environment);
        ASSERT_TRUE(play.type("", "configuration           none")) << name << "\n" << play.screen;
        EXPECT_EQ(play.wait(), 0) << name;
        EXPECT_EQ(play.screen.find("\x1b[3") != std::string::npos, colours) << name;
        EXPECT_EQ(play.screen.find("\x1b[H") != std::string::npos, view) << name;
        if (!view) {
            std::string screen = play.screen;
            for (size_t at = screen.find("\r\n"); at != std::string::npos; at = screen.find("\r\n", at)) {
                screen.erase(at, 1);
            }
            EXPECT_EQ(screen, lines) << name;
        }
    }
}

TEST_F(TerminalHabits, LiveViewsLastStatusCountsTheRunsAsTheSummaryDoes)
{
    // Seed 7 takes off at 0.68 s: the run is still under way when the play ends, and counts.
    Terminal play(dir, {"--seed", "7", "--no-config", "play", "--level", "easy", "--seconds", "1"});
    ASSERT_TRUE(play.type("", "configuration           none")) << play.screen;
    EXPECT_EQ(play.wait(), 0);
    const size_t viewEnds = play.screen.find("\x1b[?25h");
    const size_t lastRuns = play.screen.rfind("  runs ", viewEnds);
    ASSERT_NE(lastRuns, std::string::npos) << play.screen;
    EXPECT_EQ(play.screen.substr(lastRuns, 16), "  runs 1  hits 0");
    EXPECT_NE(play.screen.find("\nruns                    1\r\n", viewEnds), std::string::npos) << play.screen;
}

} // namespace
