#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "files.h"

namespace {

// Reports are lines; a reason with a line break in it would split into two.
std::string oneLine(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return line;
}

// Reads what the child sent: lines "N note", "F reason" and "P".
struct ChildReport {
    std::string pending;
    std::string lastNote;
    std::optional<std::string> failure;
    bool finished = false;

    void take(std::string_view data)
    {
        pending += data;
        size_t start = 0;
        for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n', start)) {
            line(std::string_view(pending).substr(start, end - start));
            start = end + 1;
        }
        pending.erase(0, start);
    }

    void line(std::string_view text)
    {
        if (text.empty()) {
            return;
        }
        const std::string_view rest = text.substr(text.size() > 1 ? 2 : 1);
        switch (text.front()) {
        case 'N': lastNote = rest; break;
        case 'F':
            failure = std::string(rest);
            finished = true;
            break;
        case 'P': finished = true; break;
        default: break;
        }
    }
};

} // namespace

void ChildChannel::send(char kind, std::string_view text)
{
    std::string line(1, kind);
    line += ' ';
    line += oneLine(text);
    line += '\n';
    platform::writeAll(fd_, line);
}

void ChildChannel::note(std::string_view text)
{
    send('N', text);
}

void finishChild(ChildChannel& channel, const std::optional<std::string>& failure)
{
    if (failure) {
        channel.send('F', *failure);
    } else {
        channel.send('P', "");
    }
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

ChildOutcome runInChild(double timeLimitSeconds, const std::function<std::optional<std::string>(ChildChannel&)>& body)
{
    ChildOutcome outcome;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        outcome.reason = std::string("cannot make a pipe: ") + std::strerror(errno);
        return outcome;
    }
    // Buffered output would otherwise be written twice, once by each process.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        outcome.reason = std::string("cannot fork: ") + std::strerror(errno);
        return outcome;
    }
    if (child == 0) {
        // A group of its own, so that a timeout also ends whatever the plug-in started.
        ::setpgid(0, 0);
        ::close(fds[0]);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ChildChannel channel(fds[1]);
        std::optional<std::string> failure;
        try {
            failure = body(channel);
        } catch (const std::exception& error) {
            failure = std::string("the validator itself threw: ") + error.what();
        } catch (...) {
            failure = "the validator itself threw";
        }
        finishChild(channel, failure);
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
    ChildReport report;
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
                    report.take({buffer, static_cast<size_t>(got)});
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
            report.take({buffer, static_cast<size_t>(got)});
        }
    }
    ::close(fds[0]);
    // Whatever the plug-in left running in the child's group ends with it.
    ::kill(-child, SIGKILL);

    outcome.lastNote = report.lastNote;
    if (timedOut) {
        outcome.kind = ChildOutcome::Kind::TimedOut;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", timeLimitSeconds);
        outcome.reason = "timed out after ";
        outcome.reason += seconds;
        outcome.reason += " s";
    } else if (WIFSIGNALED(status)) {
        outcome.kind = ChildOutcome::Kind::Crashed;
        outcome.reason = "crashed (" + signalName(WTERMSIG(status)) + ")";
    } else if (report.finished && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        outcome.kind = report.failure ? ChildOutcome::Kind::Failed : ChildOutcome::Kind::Passed;
        outcome.reason = report.failure.value_or("");
    } else {
        outcome.kind = ChildOutcome::Kind::Vanished;
        outcome.reason = WIFEXITED(status) ? "exited with status " + std::to_string(WEXITSTATUS(status)) +
                                                 " before the check finished"
                                           : "ended before the check finished";
    }
    return outcome;
}
