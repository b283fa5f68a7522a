#pragma once
// The arena on a pseudo-terminal of its own (80 x 24), its state and configuration in a folder of
// the test's, with TERM=xterm and no NO_COLOR whatever the test's own environment holds; the
// program is killed with the object if it is still running.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "tests/arena/arena_program.h"

class Terminal {
public:
    // Standard output goes to the file `out` when given. Each of `environment` is NAME=VALUE to
    // set, or NAME to unset.
    explicit Terminal(const std::string& home,
                      std::vector<const char*> args = {"--seed", "1", "--no-config", "console"},
                      const std::string& out = "", const std::vector<std::string>& environment = {})
    {
        args.insert(args.begin(), "arena");
        args.push_back(nullptr);
        winsize size{24, 80, 0, 0};
        pid_ = ::forkpty(&fd_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            ::setenv("XDG_STATE_HOME", home.c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
            ::setenv("LANG", "C.UTF-8", 1);
            ::setenv("TERM", "xterm", 1);
            ::unsetenv("NO_COLOR");
            for (const std::string& entry : environment) {
                const size_t equals = entry.find('=');
                if (equals == std::string::npos) {
                    ::unsetenv(entry.c_str());
                } else {
                    ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
                }
            }
            if (!out.empty()) {
                ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
            }
            ::execv(ARENA_PROGRAM, const_cast<char* const*>(args.data()));
            ::_exit(127);
        }
        EXPECT_GT(pid_, 0);
    }
    ~Terminal()
    {
        ::close(fd_);
        if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Whether `condition` comes to hold within the bound, which is generous: on a loaded machine a
    // program may wait seconds for a core.
    static bool within(const std::function<bool()>& condition, std::chrono::seconds bound = kBound)
    {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            ::usleep(2000);
        }
        return true;
    }

    // Types `keys`, then reads until `expected` has appeared in what it shows (within the bound).
    // Keys wait until the line editor has the terminal, as a person would wait for the prompt.
    bool type(const std::string& keys, const std::string& expected)
    {
        const auto deadline = std::chrono::steady_clock::now() + kBound;
        EXPECT_TRUE(keys.empty() || within([this] { return editing(); })) << "the line editor never took the terminal";
        EXPECT_EQ(::write(fd_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
        while (screen.find(expected, seen_) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd ready{fd_, POLLIN, 0};
            char buffer[4096];
            const ssize_t got = ::poll(&ready, 1, 100) > 0 ? ::read(fd_, buffer, sizeof buffer) : 0;
            screen.append(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0)));
        }
        const size_t at = screen.find(expected, seen_);
        seen_ = at == std::string::npos ? seen_ : at + expected.size();
        return at != std::string::npos;
    }
    // Types `keys` at once, for the program at work rather than for the line editor.
    void press(const std::string& keys)
    {
        EXPECT_EQ(::write(fd_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
    // Reads what the program still shows until it has closed the terminal (within the bound).
    void drain()
    {
        const auto deadline = std::chrono::steady_clock::now() + kBound;
        for (;;) {
            pollfd ready{fd_, POLLIN, 0};
            char buffer[4096];
            const int polled = ::poll(&ready, 1, 100);
            const ssize_t got = polled > 0 ? ::read(fd_, buffer, sizeof buffer) : 0;
            if ((polled > 0 && got <= 0) || std::chrono::steady_clock::now() >= deadline) {
                return;
            }
            screen.append(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0)));
        }
    }
    // The processor time the program has used so far, in seconds.
    double cpuSeconds() const
    {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        std::istringstream fields(text.substr(text.rfind(')') + 2)); // the name may hold blanks
        std::string field;
        unsigned long long user = 0;
        unsigned long long system = 0;
        for (int i = 3; i < 14 && fields >> field; ++i) {
        }
        fields >> user >> system;
        return static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }
    void resize(unsigned short columns, unsigned short rows) // the program gets SIGWINCH
    {
        const winsize size{rows, columns, 0, 0};
        EXPECT_EQ(::ioctl(fd_, TIOCSWINSZ, &size), 0);
    }
    // Whether the program comes to handle `signal` within the bound.
    bool handles(int signal) const
    {
        return within([&] {
            std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
            for (std::string line; std::getline(status, line);) {
                if (line.starts_with("SigCgt:") && (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1)) {
                    return true;
                }
            }
            return false;
        });
    }
    void send(int signal) const { ::kill(pid_, signal); }
    pid_t pid() const { return pid_; }
    bool echoing() const
    {
        termios modes{};
        return ::tcgetattr(fd_, &modes) == 0 && (modes.c_lflag & ECHO) != 0;
    }
    // Whether the line editor holds the terminal in its own modes: no echo, no line discipline. Its
    // prompt may be on the screen a moment before.
    bool editing() const
    {
        termios modes{};
        return ::tcgetattr(fd_, &modes) == 0 && (modes.c_lflag & (ECHO | ICANON)) == 0;
    }
    // The exit status, or minus the signal that ended it, or -1000 once stopped (with WUNTRACED).
    int wait(int options = 0)
    {
        int status = 0;
        ::waitpid(pid_, &status, options);
        pid_ = WIFSTOPPED(status) ? pid_ : -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : WIFSTOPPED(status) ? -1000 : -WTERMSIG(status);
    }
    std::string screen; // all it showed

    static constexpr std::chrono::seconds kBound{20};

private:
    int fd_ = -1;
    pid_t pid_ = -1;
    size_t seen_ = 0; // where the next expected text is looked for
};
