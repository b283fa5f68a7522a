#pragma once
// Runs a piece of the validator in a child process with a time limit, so that whatever the plug-in
// does there (crash, hang, exit, scribble on stdout) becomes a clear outcome for the parent. The
// piece is a task named by a word, so that a system without fork can run this program again with
// the task's words.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace arena::validate {

// The child's way back to the parent. Lives for the child's run only.
class ChildChannel {
public:
    explicit ChildChannel(int fd) : fd_(fd) {}
    // Tells the parent where the child is now (e.g. which round); the last note sent before a
    // crash or a timeout is handed back with it.
    void note(std::string_view text);

private:
    friend void finishChild(ChildChannel& channel, const std::optional<std::string>& failure);
    void send(char kind, std::string_view text);
    int fd_;
};

struct ChildOutcome {
    enum class Kind { Passed, Failed, Crashed, TimedOut, Vanished, Interrupted, NotStarted };
    Kind kind = Kind::NotStarted;
    std::string reason;   // Failed: the body's reason; Crashed: "crashed (SIGSEGV)" (on Windows "crashed
                          // (access violation)"); TimedOut: "timed out after N s"; Vanished: how the
                          // child ended without reporting (e.g. "exited with status 3"); Interrupted:
                          // "interrupted (SIGINT)"; NotStarted: why not (e.g. "cannot fork: ...")
    int status = 0;       // Vanished: the child's exit status
    int signal = 0;       // Interrupted: the signal that ended this process's wait (see runTimedChild)
    std::string lastNote; // the last note the child sent; empty when none
    bool passed() const { return kind == Kind::Passed; }
};

// What a child runs, given the words after the task's name; a failure reason, or nothing when it
// passed.
using ChildBody = std::optional<std::string> (*)(ChildChannel& channel, const std::vector<std::string>& words);

// A piece of the validator that runs in a child: the word that names it, and its body.
struct ChildTask {
    std::string_view name;
    ChildBody body;
};

// Runs `task` on `words` in a child process. The child's stdout goes to stderr, so a plug-in that
// prints cannot forge a report line. The child is killed once `timeLimitSeconds` have passed, or
// as soon as a signal comes that ends this process (Interrupted; see runTimedChild).
ChildOutcome runInChild(double timeLimitSeconds, const ChildTask& task, const std::vector<std::string>& words);

// In this program run again as a child (Windows): runs the task among `tasks` that its words name,
// then ends the process. Returns at once in any other process.
void runChildTask(std::span<const ChildTask* const> tasks);

} // namespace arena::validate
