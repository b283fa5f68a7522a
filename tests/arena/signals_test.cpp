// Signals to a running arena: play and the console end cleanly on SIGINT (play), SIGTERM and
// SIGHUP, with the summary printed, the settings saved and the terminal's modes back; a signal
// during the save waits for it; Ctrl-Z gives the shell its modes and a resume takes the console's
// back; a suspended play is not played; Ctrl-C in the console stops the command under way only.

#include <sys/file.h>

#include <cstdio>
#include <thread>

#include "tests/arena/arena_program.h"
#include "tests/arena/terminal.h"

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

TEST_F(Signals, PlaySuspendedWithCtrlZLeavesTheSuspendedTimeOutOfTheGame)
{
    Terminal play(dir, {"--seed", "5", "--no-config", "play", "--seconds", "100000"});
    ASSERT_TRUE(play.type("", "time 1.0 / 100000 s")) << play.screen;
    play.send(SIGTSTP);
    ASSERT_EQ(play.wait(WUNTRACED), -1000);
    std::this_thread::sleep_for(std::chrono::seconds(3)); // the suspension itself, not a wait for anything
    const auto resumed = std::chrono::steady_clock::now();
    play.send(SIGCONT);
    // The view comes back (the screen cleared again), at the game time it stopped at.
    const std::string enter = "\x1b[?25l\x1b[2J\x1b[H";
    ASSERT_TRUE(play.type("", enter) && play.type("", " / 100000 s")) << play.screen;
    const size_t back = play.screen.find(enter, play.screen.find(enter) + 1);
    const double at = std::stod(play.screen.substr(play.screen.find("time ", back) + 5));
    // From there game time runs with the clock: the three seconds are not played at once.
    char later[64];
    std::snprintf(later, sizeof later, "time %.1f / 100000 s", at + 1.5);
    ASSERT_TRUE(play.type("", later)) << play.screen;
    EXPECT_GE(std::chrono::steady_clock::now() - resumed, std::chrono::seconds(1)) << "from " << at << " s";
    play.send(SIGINT);
    EXPECT_EQ(play.wait(), 130);
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

// Whether the process `pid` waits for a lock (its line in /proc/locks is marked "->").
bool waitsForLock(pid_t pid)
{
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        if (line.find(" -> ") != std::string::npos && line.find(" " + std::to_string(pid) + " ") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// The save waits for the folder's lock, held here, so that the second signal comes while it is
// under way; it cannot write anything before the lock is given up.
TEST_F(Signals, ASecondSignalDuringTheSaveWaitsForIt)
{
    const std::string config = dir + "/arena.cfg";
    const int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(folder, LOCK_EX), 0);
    Terminal console(dir, {"--seed", "1", "--config", config.c_str(), "console"});
    ASSERT_TRUE(console.handles(SIGTERM));
    ASSERT_TRUE(console.type("volanko_throwlevel pro\r", "volanko_throwlevel pro") && console.type("", "] "))
        << console.screen;
    console.send(SIGTERM);
    EXPECT_TRUE(Terminal::within([&] { return waitsForLock(console.pid()); }));
    console.send(SIGTERM);
    ::close(folder);
    EXPECT_EQ(console.wait(), 143);
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
