// Signals to a running arena: play and the console end cleanly on SIGINT (play), SIGTERM and
// SIGHUP, with the summary printed, the settings saved and the terminal's modes back; Ctrl-Z gives
// the shell its modes and a resume takes the console's back.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>

#include <csignal>
#include <fstream>

#include "arena_program.h"

namespace {

class Signals : public ::testing::Test, public ArenaProgram {
protected:
    // Starts the arena on a terminal of its own (standard output to `out` when given) and waits
    // until it handles `signal`.
    void start(const std::vector<std::string>& args, int signal, const std::string& out = "")
    {
        pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
        if (pid == 0) {
            if (!out.empty()) {
                ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
            }
            std::vector<char*> argv{const_cast<char*>(ARENA_PROGRAM)};
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(ARENA_PROGRAM, argv.data());
            ::_exit(127);
        }
        for (int i = 0; i < 1000; ++i, ::usleep(10000)) {
            std::ifstream status("/proc/" + std::to_string(pid) + "/status");
            for (std::string line; std::getline(status, line);) {
                if (line.starts_with("SigCgt:") && (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1)) {
                    return;
                }
            }
        }
        FAIL() << "the arena never handled signal " << signal;
    }
    // Waits until the terminal has shown `text` at or after `from`; returns where.
    size_t waitForScreen(const std::string& text, size_t from = 0)
    {
        while (screen.find(text, from) == std::string::npos) {
            pollfd wait{terminal, POLLIN, 0};
            char buffer[4096];
            const ssize_t got = ::poll(&wait, 1, 20000) == 1 ? ::read(terminal, buffer, sizeof buffer) : 0;
            if (got <= 0) {
                ADD_FAILURE() << "waiting for " << text << " in " << screen;
                return std::string::npos;
            }
            screen.append(buffer, static_cast<size_t>(got));
        }
        return screen.find(text, from);
    }
    bool echoing() const
    {
        termios modes{};
        return ::tcgetattr(terminal, &modes) == 0 && (modes.c_lflag & ECHO) != 0;
    }
    int wait(int options = 0)
    {
        int status = 0;
        ::waitpid(pid, &status, options);
        return WIFEXITED(status) ? WEXITSTATUS(status) : WIFSTOPPED(status) ? -1000 : -WTERMSIG(status);
    }

    pid_t pid = -1;
    int terminal = -1;
    std::string screen;
};

TEST_F(Signals, PlayEndsWithItsSummaryAndTheShellsStatus)
{
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        start({"--seed", "5", "--no-config", "play", "--seconds", "100000", "--realtime"}, signal, dir + "/out");
        ::kill(pid, signal);
        EXPECT_EQ(wait(), status) << signal;
        const std::string summary = read(dir + "/out");
        EXPECT_TRUE(summary.starts_with("runs ") && summary.ends_with("\nconfiguration           none\n")) << summary;
        ::close(terminal);
    }
}

TEST_F(Signals, ConsolePausesResumesAndEndsWithItsSettingsSavedAndTheTerminalBack)
{
    const std::string config = dir + "/arena.cfg";
    start({"--seed", "1", "--config", config, "console"}, SIGTERM);
    waitForScreen("] ");
    EXPECT_FALSE(echoing()); // the line editor's raw mode
    ::kill(pid, SIGTSTP);
    ASSERT_EQ(wait(WUNTRACED), -1000);
    EXPECT_TRUE(echoing()) << "the shell gets the modes it left";
    ::kill(pid, SIGCONT);
    for (int i = 0; i < 500 && echoing(); ++i) {
        ::usleep(10000);
    }
    EXPECT_FALSE(echoing()) << "the console takes its own back";

    ASSERT_EQ(::write(terminal, "volanko_throwlevel pro\r", 23), 23);
    waitForScreen("] ", waitForScreen("volanko_throwlevel pro"));
    ::kill(pid, SIGTERM);
    EXPECT_EQ(wait(), 143);
    EXPECT_TRUE(echoing());
    EXPECT_EQ(read(config), "volanko_throwlevel \"pro\"\n");
    ::close(terminal);
}

} // namespace
