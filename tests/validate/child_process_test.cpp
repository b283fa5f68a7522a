// The child process runner: every way a child can end becomes one clear outcome. (A hang is seen
// through `arena validate` on the library that hangs.)

#include "arena/validate/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

using namespace arena::validate;

using Kind = ChildOutcome::Kind;
using Words = std::vector<std::string>;

ChildOutcome runBody(double timeLimitSeconds, ChildBody body, const Words& words = {})
{
    return runInChild(timeLimitSeconds, ChildTask{"test", body}, words);
}

TEST(RunInChild, EachEndIsOneOutcomeWithItsReasonOnOneLineAndTheLastNote)
{
    const struct {
        ChildBody body;
        Kind kind;
        const char* reason;
        const char* lastNote = "";
    } cases[] = {
        {[](ChildChannel&, const Words&) { return std::optional<std::string>(); }, Kind::Passed, ""},
        {[](ChildChannel&, const Words&) { return std::optional<std::string>("two\nlines"); }, Kind::Failed,
         "two lines"},
        {[](ChildChannel&, const Words&) -> std::optional<std::string> { ::_exit(0); }, Kind::Vanished,
         "exited with status 0 before the check finished"},
        {[](ChildChannel&, const Words&) -> std::optional<std::string> { ::_exit(3); }, Kind::Vanished,
         "exited with status 3 before the check finished"},
        {[](ChildChannel&, const Words&) -> std::optional<std::string> { throw std::runtime_error("oops"); },
         Kind::Failed, "the validator itself threw: oops"},
        // The words arrive whole and in order, blanks, quotes and backslashes included.
        {[](ChildChannel&, const Words& words) -> std::optional<std::string> {
             std::string joined;
             for (const std::string& word : words) {
                 joined += "[" + word + "]";
             }
             return joined;
         },
         Kind::Failed, R"([a b][say "hi"][C:\dir\][])"},
        {[](ChildChannel& channel, const Words&) -> std::optional<std::string> {
             channel.note("first");
             channel.note("second");
             ::raise(SIGILL); // not SIGSEGV: the sanitizer build turns that into its own report and an abort
             return std::nullopt;
         },
         Kind::Crashed, "crashed (SIGILL)", "second"},
    };
    for (const auto& c : cases) {
        const ChildOutcome outcome = runBody(10, c.body, {"a b", R"(say "hi")", R"(C:\dir\)", ""});
        EXPECT_EQ(outcome.kind, c.kind) << c.reason;
        EXPECT_EQ(outcome.reason, c.reason);
        EXPECT_EQ(outcome.lastNote, c.lastNote);
    }
}

TEST(RunInChild, AProcessLeftBehindNeitherHoldsUpTheVerdictNorOutlivesIt)
{
    // Were the verdict held up until the pipe closed, the time limit would end the child first.
    const ChildOutcome passed = runBody(20, [](ChildChannel&, const Words&) -> std::optional<std::string> {
        // A grandchild that keeps the report pipe open far longer than the check takes.
        if (::fork() == 0) {
            std::this_thread::sleep_for(std::chrono::seconds(30));
            ::_exit(0);
        }
        return std::nullopt;
    });
    EXPECT_EQ(passed.kind, Kind::Passed);
}

} // namespace
