#pragma once
// A child process with a time limit, in which code that may crash or hang runs without taking its
// parent with it. On POSIX systems the child is a fork of the caller; on Windows, where a process
// cannot be forked, it is this program run again with words that tell it what to run, which its
// main hands to runIfChild before anything else.
//
// POSIX: fork, SIGKILL at the limit, the signal's name for a crash. Windows: this program run
// again inside a job object with the time limit; the exception's name for a crash ("access
// violation", "stack overflow"). Not provided: a child's memory or file limits.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// What a child runs: `words` as given to runTimedChild, and `channel`, a descriptor the child
// writes its reports to, valid while the body runs.
using ChildBody = std::function<void(int channel, const std::vector<std::string>& words)>;

struct ChildEnd {
    enum class Kind { Exited, Crashed, TimedOut, Interrupted, NotStarted };
    Kind kind = Kind::NotStarted;
    int status = 0;    // Exited: the exit status
    std::string crash; // Crashed: what ended it, e.g. "SIGSEGV" (POSIX), "access violation" (Windows);
                       // Interrupted: the signal's name, e.g. "SIGINT"
    int signal = 0;    // Interrupted: the signal's number
    std::string error; // NotStarted: why, e.g. "cannot fork: Resource temporarily unavailable"
};

// Runs `body` on `words` in a child process and waits for its end; the child exits with 0 once the
// body returns. POSIX: a fork runs `body` itself. Windows: this program runs again, and the body
// that its runIfChild is given must be the one meant for these words. The child's standard output
// goes to this process's standard error. Whatever the child writes to its channel is handed to
// `read` as it comes. Once `timeLimitSeconds` have passed the child and everything it started are
// killed; once it ends, everything it started and left running is killed too.
//
// A signal that ends this process (SIGINT, SIGTERM, SIGHUP unless ignored; on Windows Ctrl-C and
// the console's closing while StopSignals are installed) ends the child and everything it started
// first: the wait stops as Interrupted, and the signal then takes its course here (the handler
// installed, or the process's end) as runTimedChild returns. A child's own handlers for those
// signals are the system's defaults, whatever this process had installed.
ChildEnd runTimedChild(double timeLimitSeconds, const std::vector<std::string>& words, const ChildBody& body,
                       const std::function<void(std::string_view data)>& read);

// In a child's body: this process's standard output and standard error go nowhere from now on,
// for a body whose output belongs to another run of the same code.
void silenceOutput();

// In this program run again by runTimedChild (Windows only): runs `body` on the words and the
// channel the program was given, then ends the process with status 0 without exit handlers (they
// may not be safe after what ran). Returns at once in any other process.
void runIfChild(const ChildBody& body);

} // namespace platform
