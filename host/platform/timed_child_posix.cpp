#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "timed_child.h"

namespace platform {

namespace {

// "SIGSEGV" for SIGSEGV; "signal N" for one without a name.
std::string signalName(int signal)
{
    if (const char* name = sigabbrev_np(signal)) {
        std::string text = "SIG";
        text += name;
        return text;
    }
    return "signal " + std::to_string(signal);
}

} // namespace

ChildEnd runTimedChild(double timeLimitSeconds, const std::vector<std::string>& words, const ChildBody& body,
                       const std::function<void(std::string_view data)>& read)
{
    ChildEnd end;
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
    while (!reaped) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-child, SIGKILL);
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            reaped = true;
            timedOut = true;
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
            ::usleep(2000);
        }
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            reaped = true;
        }
    }
    // What the child wrote just before it ended is still in the pipe.
    if (open && !timedOut) {
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(fds[0], buffer, sizeof buffer)) > 0) {
            read({buffer, static_cast<size_t>(got)});
        }
    }
    ::close(fds[0]);
    // Whatever the plug-in left running in the child's group ends with it.
    ::kill(-child, SIGKILL);

    if (timedOut) {
        end.kind = ChildEnd::Kind::TimedOut;
    } else if (WIFSIGNALED(status)) {
        end.kind = ChildEnd::Kind::Crashed;
        end.crash = signalName(WTERMSIG(status));
    } else {
        end.kind = ChildEnd::Kind::Exited;
        end.status = WEXITSTATUS(status);
    }
    return end;
}

void runIfChild(const ChildBody&) {}

} // namespace platform
