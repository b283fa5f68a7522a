// The child process runner: every way a child can end becomes one clear outcome.

#include "child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

using Kind = ChildOutcome::Kind;

TEST(RunInChild, PassAndFailComeBackWithTheReasonOnOneLine)
{
    const ChildOutcome passed = runInChild(10, [](ChildChannel&) { return std::optional<std::string>(); });
    EXPECT_EQ(passed.kind, Kind::Passed);
    EXPECT_EQ(passed.reason, "");

    const ChildOutcome failed = runInChild(10, [](ChildChannel&) { return std::optional<std::string>("two\nlines"); });
    EXPECT_EQ(failed.kind, Kind::Failed);
    EXPECT_EQ(failed.reason, "two lines");
}

TEST(RunInChild, ACrashNamesTheSignalAndKeepsTheLastNote)
{
    const ChildOutcome crashed = runInChild(10, [](ChildChannel& channel) -> std::optional<std::string> {
        channel.note("first");
        channel.note("second");
        // Not SIGSEGV: the sanitizer build turns that into its own report and an abort.
        ::raise(SIGILL);
        return std::nullopt;
    });
    EXPECT_EQ(crashed.kind, Kind::Crashed);
    EXPECT_EQ(crashed.reason, "crashed (SIGILL)");
    EXPECT_EQ(crashed.lastNote, "second");
}

TEST(RunInChild, AHangIsKilledAtTheLimit)
{
    const auto start = std::chrono::steady_clock::now();
    const ChildOutcome hung = runInChild(0.3, [](ChildChannel&) -> std::optional<std::string> {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    EXPECT_EQ(hung.kind, Kind::TimedOut);
    EXPECT_EQ(hung.reason, "timed out after 0.3 s");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
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

TEST(RunInChild, AnExitWithoutAVerdictIsNotAPass)
{
    const ChildOutcome gone = runInChild(10, [](ChildChannel&) -> std::optional<std::string> { ::_exit(0); });
    EXPECT_EQ(gone.kind, Kind::Vanished);
    EXPECT_EQ(gone.reason, "exited with status 0 before the check finished");

    const ChildOutcome three = runInChild(10, [](ChildChannel&) -> std::optional<std::string> { ::_exit(3); });
    EXPECT_EQ(three.kind, Kind::Vanished);
    EXPECT_EQ(three.reason, "exited with status 3 before the check finished");
}

TEST(RunInChild, AnExceptionFromTheBodyIsAFailure)
{
    const ChildOutcome threw =
        runInChild(10, [](ChildChannel&) -> std::optional<std::string> { throw std::runtime_error("oops"); });
    EXPECT_EQ(threw.kind, Kind::Failed);
    EXPECT_EQ(threw.reason, "the validator itself threw: oops");
}

} // namespace
