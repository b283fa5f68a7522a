// Signals to a running arena: play and the console end cleanly on SIGINT (play), SIGTERM and
// SIGHUP, with the summary printed, the settings saved and the terminal's modes back; Ctrl-Z gives
// the shell its modes and a resume takes the console's back; Ctrl-C in the console stops the
// command under way only.

#include "arena_program.h"
#include "terminal.h"

namespace {

class Signals : public ::testing::Test, public ArenaProgram {};

TEST_F(Signals, PlayEndsWithItsSummaryAndTheShellsStatus)
{
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        Terminal play(dir, {"--seed", "5", "--no-config", "play", "--seconds", "100000", "--realtime"}, dir + "/out");
        ASSERT_TRUE(play.handles(signal)) << signal;
        play.send(signal);
        EXPECT_EQ(play.wait(), status) << signal;
        const std::string summary = read(dir + "/out");
        EXPECT_TRUE(summary.starts_with("runs ") && summary.ends_with("\nconfiguration           none\n")) << summary;
    }
}

TEST_F(Signals, ConsolePausesResumesAndEndsWithItsSettingsSavedAndTheTerminalBack)
{
    const std::string config = dir + "/arena.cfg";
    Terminal console(dir, {"--seed", "1", "--config", config.c_str(), "console"});
    ASSERT_TRUE(console.handles(SIGTERM));
    ASSERT_TRUE(console.type("", "] ")) << console.screen;
    ASSERT_TRUE(Terminal::within([&] { return console.editing(); }));
    console.send(SIGTSTP);
    ASSERT_EQ(console.wait(WUNTRACED), -1000);
    EXPECT_TRUE(console.echoing()) << "the shell gets the modes it left";
    console.send(SIGCONT);
    EXPECT_TRUE(Terminal::within([&] { return console.editing(); })) << "the console takes its own back";

    ASSERT_TRUE(console.type("volanko_throwlevel pro\r", "volanko_throwlevel pro") && console.type("", "] "))
        << console.screen;
    console.send(SIGTERM);
    EXPECT_EQ(console.wait(), 143);
    EXPECT_TRUE(console.echoing());
    EXPECT_EQ(read(config), "volanko_throwlevel \"pro\"\n");
}

TEST_F(Signals, CtrlCInTheConsoleStopsTheCommandUnderWayAndTheSessionGoesOn)
{
    const std::string config = dir + "/cc.cfg";
    Terminal console(dir, {"--seed", "1", "--config", config.c_str(), "console"});
    ASSERT_TRUE(console.type("", "] ")) << console.screen;
    for (const char* line : {"volanko_throwlevel pro\r", "arena_freeplay 1\r", "arena_autopilot 1\r"}) {
        ASSERT_TRUE(console.type(line, "\n") && console.type("", "] ")) << line << "\n" << console.screen;
    }
    ASSERT_TRUE(console.type("arena_frames 10000000\r", "\n")) << console.screen;
    // The frames are under way once the editor has given the terminal back and the program has
    // worked on for a while since.
    ASSERT_TRUE(Terminal::within([&] { return !console.editing(); }));
    const double start = console.cpuSeconds();
    ASSERT_TRUE(Terminal::within([&] { return console.cpuSeconds() >= start + 0.3; }));
    console.press("\x03");
    // The terminal shows the key; the count follows on a line of its own, then the prompt.
    EXPECT_TRUE(console.type("", "^C\r\narena_frames: stopped after ") && console.type("", " of 10000000 frames\r\n] "))
        << console.screen;
    EXPECT_TRUE(console.type("volanko_throwlevel\r", "volanko_throwlevel = \"pro\"") && console.type("", "] "))
        << console.screen;
    EXPECT_TRUE(console.type("\x04", "\n"));
    EXPECT_EQ(console.wait(), 0);
    EXPECT_EQ(read(config), "volanko_throwlevel \"pro\"\n");
}

} // namespace
