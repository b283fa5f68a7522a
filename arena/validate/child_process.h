#pragma once
// Runs a piece of the validator in a forked child with a time limit, so that whatever the plug-in
// does there (crash, hang, exit, scribble on stdout) becomes a clear outcome for the parent.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

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
    enum class Kind { Passed, Failed, Crashed, TimedOut, Vanished };
    Kind kind = Kind::Vanished;
    std::string reason;   // Failed: the body's reason; Crashed: "crashed (SIGSEGV)"; TimedOut: "timed out after N s";
                          // Vanished: how the child ended without reporting (e.g. "exited with status 3")
    std::string lastNote; // the last note the child sent; empty when none
    bool passed() const { return kind == Kind::Passed; }
};

// Runs `body` in a child process. The body returns a failure reason, or nothing when it passed.
// The child's stdout goes to stderr, so a plug-in that prints cannot forge a report line.
// The child is killed once `timeLimitSeconds` have passed.
ChildOutcome runInChild(double timeLimitSeconds, const std::function<std::optional<std::string>(ChildChannel&)>& body);

// "SIGSEGV" for SIGSEGV; "signal N" for one without a name.
std::string signalName(int signal);
