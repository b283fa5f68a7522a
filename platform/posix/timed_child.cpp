#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/common/child_end.h"
#include "platform/stop_signals.h"
#include "platform/timed_child.h"

namespace platform {

namespace {

// The signals that end this process. While a child runs they wait: the child and its group end
// first, so that an interrupted parent never leaves a child of its behind.
constexpr int kEnding[] = {SIGINT, SIGTERM, SIGHUP};

// The ending signals held back for the object's life, those this process ignores left as they
// are; on destruction what came meanwhile is delivered.
class HeldSignals {
public:
    HeldSignals()
    {
        sigemptyset(&held_);
        for (const int signal : kEnding) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
                sigaddset(&held_, signal);
            }
        }
        ::pthread_sigmask(SIG_BLOCK, &held_, &previous_);
    }
    ~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

    // The first held signal that has come; 0 when none.
    int arrived() const
    {
        sigset_t pending;
        if (::sigpending(&pending) != 0) {
            return 0;
        }
        for (const int signal : kEnding) {
            if (sigismember(&held_, signal) == 1 && sigismember(&pending, signal) == 1) {
                return signal;
            }
        }
        return 0;
    }

    // In the child: the system's own handling of every ending signal, and none held.
    void defaultsInChild() const
    {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGTSTP}) {
            ::signal(signal, SIG_DFL);
        }
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }

private:
    sigset_t held_;
    sigset_t previous_;
};

} // namespace

ChildEnd runTimedChild(double timeLimitSeconds, const std::vector<std::string>& words, const ChildBody& body,
                       const std::function<void(std::string_view data)>& read)
{
    ChildEnd end;
    // Held from before the fork: a signal in between would end this process with the child left.
    const HeldSignals held;
    [[maybe_unused]] const pid_t parent = ::getpid();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        end.error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return end;
    }
    // Buffered output would otherwise be written twice, once by each process.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        end.error = std::string("cannot fork: ") + std::strerror(errno);
        return end;
    }
    if (child == 0) {
        // A group of its own, so that a timeout also ends whatever the plug-in started.
        ::setpgid(0, 0);
#ifdef __linux__
        // Ended with its parent, even one killed beyond any handler.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(1);
        }
#endif
        held.defaultsInChild();
        ::close(fds[0]);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        body(fds[1], words);
        std::fflush(stdout);
        std::fflush(stderr);
        // No exit handlers: they belong to the parent's state, and a plug-in's may not be safe.
        ::_exit(0);
    }

    ::setpgid(child, child);
    ::close(fds[1]);
    // Never blocks: a process the plug-in started may hold the pipe open after the child is gone.
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeLimitSeconds);
    bool open = true;
    int status = 0;
    bool reaped = false;
    bool timedOut = false;
    int interrupted = 0;
    useconds_t pause = 50; // microseconds
    while (!reaped) {
        interrupted = held.arrived();
        timedOut = interrupted == 0 && std::chrono::steady_clock::now() >= deadline;
        if (interrupted != 0 || timedOut) {
            ::kill(-child, SIGKILL);
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            reaped = true;
            break;
        }
        if (open) {
            pollfd watch{fds[0], POLLIN, 0};
            if (::poll(&watch, 1, 20) > 0) {
                char buffer[4096];
                const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
                if (got > 0) {
                    read({buffer, static_cast<size_t>(got)});
                } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                    open = false;
                }
            }
        } else {
            // The pipe closed as the child ended, or its output went elsewhere: look again soon,
            // then less often, so that an ordinary end is seen within a fraction of a millisecond
            // (every session start waits for one) and a long one costs little.
            ::usleep(pause);
            pause = std::min(pause * 2, 2000U);
        }
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            reaped = true;
        }
    }
    // What the child wrote just before it ended is still in the pipe.
    if (open && !timedOut && interrupted == 0) {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(fds[0], buffer, sizeof buffer)) > 0) {
            read({buffer, static_cast<size_t>(got)});
        }
    }
    ::close(fds[0]);
    // Whatever the plug-in left running in the child's group ends with it.
    ::kill(-child, SIGKILL);

    return childEndOf(interrupted, timedOut, WIFSIGNALED(status) ? signalName(WTERMSIG(status)) : std::string(),
                      WEXITSTATUS(status));
}

void silenceOutput()
{
    std::fflush(stdout);
    std::fflush(stderr);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::close(null);
    }
}

void runIfChild(const ChildBody&) {}

} // namespace platform
