// The child process runner: every way a child can end becomes one clear outcome. (A hang is seen
// through `arena validate` on the library that hangs.)

#include "child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

using Kind = ChildOutcome::Kind;
using Body = std::function<std::optional<std::string>(ChildChannel&)>;

TEST(RunInChild, EachEndIsOneOutcomeWithItsReasonOnOneLineAndTheLastNote)
{
    const struct {
        Body body;
        Kind kind;
        const char* reason;
        const char* lastNote = "";
    } cases[] = {
        {[](ChildChannel&) { return std::optional<std::string>(); }, Kind::Passed, ""},
        {[](ChildChannel&) { return std::optional<std::string>("two\nlines"); }, Kind::Failed, "two lines"},
        {[](ChildChannel&) -> std::optional<std::string> { ::_exit(0); }, Kind::Vanished,
         "exited with status 0 before the check finished"},
        {[](ChildChannel&) -> std::optional<std::string> { ::_exit(3); }, Kind::Vanished,
         "exited with status 3 before the check finished"},
        {[](ChildChannel&) -> std::optional<std::string> { throw std::runtime_error("oops"); }, Kind::Failed,
         "the validator itself threw: oops"},
        {[](ChildChannel& channel) -> std::optional<std::string> {
             channel.note("first");
             channel.note("second");
             ::raise(SIGILL); // not SIGSEGV: the sanitizer build turns that into its own report and an abort
             return std::nullopt;
         },
         Kind::Crashed, "crashed (SIGILL)", "second"},
    };
    for (const auto& c : cases) {
        const ChildOutcome outcome = runInChild(10, c.body);
        EXPECT_EQ(outcome.kind, c.kind) << c.reason;
        EXPECT_EQ(outcome.reason, c.reason);
        EXPECT_EQ(outcome.lastNote, c.lastNote);
    }
}

TEST(RunInChild, AProcessLeftBehindNeitherHoldsUpTheVerdictNorOutlivesIt)
{
    const auto start = std::chrono::steady_clock::now();
    const ChildOutcome passed = runInChild(20, [](ChildChannel&) -> std::optional<std::string> {
        // A grandchild that keeps the report pipe open far longer than the check takes.
        if (::fork() == 0) {
            std::this_thread::sleep_for(std::chrono::seconds(30));
            ::_exit(0);
        }
        return std::nullopt;
    });
    EXPECT_EQ(passed.kind, Kind::Passed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
