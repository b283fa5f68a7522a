// The arena on a terminal as people expect it: a console that edits by characters, completes on
// Tab (listing the choices in columns that fit), drops a line on Ctrl-C, leaves quietly on Ctrl-D
// and remembers its history from one session to the next, and a live view that follows a resize.

#include "terminal.h"

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

TEST_F(TerminalHabits, TabListsTheChoicesInColumnsThatFitTheTerminal)
{
    // Every name the first word may be, in order.
    std::vector<std::string> names;
    std::istringstream all("arena_autopilot arena_canvas arena_dump arena_frames arena_freeplay arena_hit arena_pause "
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
    // 80 columns hold the status in one line; 40 (the view then has 11 rows) need two.
    ASSERT_TRUE(play.type("", "\n+-------------------------+  ")) << play.screen;
    play.resize(40, 13);
    EXPECT_TRUE(play.type("", "\n\x1b[0m\x1b[1mskill 0.60  runs ")) << play.screen;
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

} // namespace
