#include "platform/stop_signals.h"
#include "platform/posix/signal_flag.h"

#include <fcntl.h>
#include <pthread.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace platform {

namespace {

constexpr int kEnding[] = {SIGTERM, SIGHUP, SIGINT};

volatile std::sig_atomic_t received_ = 0;
// Resumes after a pause, counted by the pause handler alone.
volatile std::sig_atomic_t resumes_ = 0;
int nullFd = -1;     // /dev/null, put on standard input when the session ends; -1 when not asked
int terminalFd = -1; // a copy of the terminal on standard input; -1 when it is none
termios shellModes{};
// Written from the handler: plain buffers, replaced only while the handler cannot run.
char pauseText[64] = {};
char resumeText[64] = {};

void writeText(const char* text)
{
    size_t size = 0;
    while (text[size] != '\0') {
        ++size;
    }
    for (size_t done = 0; done < size;) {
        const ssize_t wrote = ::write(STDOUT_FILENO, text + done, size - done);
        if (wrote <= 0 && errno != EINTR) {
            return;
        }
        done += wrote > 0 ? static_cast<size_t>(wrote) : 0;
    }
}

void onEnd(int signal)
{
    if (received_ == 0) {
        received_ = signal;
    }
    if (nullFd >= 0) {
        const int saved = errno;
        ::dup2(nullFd, STDIN_FILENO);
        errno = saved;
    }
}

bool sameModes(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::equal(std::begin(a.c_cc), std::end(a.c_cc), std::begin(b.c_cc));
}

void onPause(int)
{
    const int saved = errno;
    termios session{};
    const bool modes = terminalFd >= 0 && ::tcgetattr(terminalFd, &session) == 0;
    writeText(pauseText);
    if (modes) {
        ::tcsetattr(terminalFd, TCSADRAIN, &shellModes);
    }
    ::raise(SIGSTOP); // returns once continued
    // A line editor with its own resume handler may have taken its modes back already; only
    // modes still as the shell left them are replaced.
    termios now{};
    if (modes && ::tcgetattr(terminalFd, &now) == 0 && sameModes(now, shellModes)) {
        ::tcsetattr(terminalFd, TCSADRAIN, &session);
    }
    writeText(resumeText);
    resumes_ = resumes_ + 1;
    errno = saved;
}

struct sigaction previous[NSIG];
bool installed[NSIG] = {};

void install(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    installed[signal] = sigaction(signal, &action, &previous[signal]) == 0;
}

void copyText(char (&to)[64], const std::string& from)
{
    const size_t size = std::min(from.size(), sizeof to - 1);
    from.copy(to, size);
    to[size] = '\0';
}

} // namespace

StopSignals::StopSignals(bool interrupt, bool endInput)
{
    received_ = 0;
    if (::isatty(STDIN_FILENO) == 1) {
        terminalFd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
        if (terminalFd >= 0 && ::tcgetattr(terminalFd, &shellModes) != 0) {
            ::close(terminalFd);
            terminalFd = -1;
        }
    }
    nullFd = endInput ? ::open("/dev/null", O_RDONLY | O_CLOEXEC) : -1;
    for (const int signal : kEnding) {
        if (signal != SIGINT || interrupt) {
            install(signal, onEnd);
        }
    }
    install(SIGTSTP, onPause);
}

StopSignals::~StopSignals()
{
    for (const int signal : {SIGTERM, SIGHUP, SIGINT, SIGTSTP}) {
        if (installed[signal]) {
            sigaction(signal, &previous[signal], nullptr);
            installed[signal] = false;
        }
    }
    if (terminalFd >= 0) {
        ::tcsetattr(terminalFd, TCSADRAIN, &shellModes);
        ::close(terminalFd);
        terminalFd = -1;
    }
    if (nullFd >= 0) {
        ::close(nullFd);
        nullFd = -1;
    }
}

int StopSignals::received()
{
    return received_;
}

int holdingStops(const std::function<void()>& work)
{
    sigset_t held;
    sigset_t old;
    sigemptyset(&held);
    for (const int signal : kEnding) {
        sigaddset(&held, signal);
    }
    pthread_sigmask(SIG_BLOCK, &held, &old);
    work();
    // Taken while still blocked, so that none reaches the handler or the default action.
    int first = 0;
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    for (const int signal : kEnding) {
        if (sigismember(&pending, signal) == 1 && sigismember(&old, signal) != 1) {
            sigset_t one;
            sigemptyset(&one);
            sigaddset(&one, signal);
            int taken = 0;
            sigwait(&one, &taken);
            first = first == 0 ? taken : first;
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return first;
}

int StopSignals::resumes()
{
    return resumes_;
}

std::string signalName(int signal)
{
    if (const char* name = sigabbrev_np(signal)) {
        std::string text = "SIG";
        text += name;
        return text;
    }
    return "signal " + std::to_string(signal);
}

void StopSignals::setScreenText(std::string pause, std::string resume)
{
    sigset_t block;
    sigset_t old;
    sigemptyset(&block);
    sigaddset(&block, SIGTSTP);
    sigprocmask(SIG_BLOCK, &block, &old);
    copyText(pauseText, pause);
    copyText(resumeText, resume);
    sigprocmask(SIG_SETMASK, &old, nullptr);
}

namespace {

struct sigaction beforeCommandInterrupt {};

} // namespace

CommandInterrupt::CommandInterrupt()
{
    // Reads and writes under way go on: only the command's own steps look at the request.
    beforeCommandInterrupt = catchSignal(SIGINT);
    // A program started with SIGINT ignored (in the background of a script) keeps ignoring it.
    if (beforeCommandInterrupt.sa_handler == SIG_IGN) {
        restoreSignal(SIGINT, beforeCommandInterrupt);
    }
}

CommandInterrupt::~CommandInterrupt()
{
    restoreSignal(SIGINT, beforeCommandInterrupt);
}

bool CommandInterrupt::requested()
{
    return signalFlag(SIGINT) != 0;
}

void CommandInterrupt::clear()
{
    signalFlag(SIGINT) = 0;
}

} // namespace platform
