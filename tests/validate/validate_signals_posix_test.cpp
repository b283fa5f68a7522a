// `arena validate` stopped by a signal while a check's child runs: the child and its group end with
// it, the check under way says "interrupted", and the exit status is the one a shell expects.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

#include "tests/arena/arena_program.h"
#include "tests/support/broken_plugin_path.h"

namespace {

// Whether `condition` comes to hold within a bound generous enough for a loaded machine.
bool within(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool gone(pid_t pid)
{
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

class ValidateSignals : public ::testing::Test, public ArenaProgram {};

TEST_F(ValidateSignals, TheChildEndsWithTheValidatorWhichSaysInterrupted)
{
    const struct {
        int signal;
        bool ignoredAtStart; // as a shell starts a command in the background of a script
        const char* name;
    } cases[] = {
        {SIGINT, false, "SIGINT"}, {SIGTERM, false, "SIGTERM"}, {SIGHUP, false, "SIGHUP"}, {SIGINT, true, "SIGINT"}};
    for (const auto& c : cases) {
        const std::string out = dir + "/out";
        const std::string library = brokenPlugin("hangs");
        const pid_t validator = ::fork();
        if (validator == 0) {
            ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
            ::setenv("XDG_STATE_HOME", dir.c_str(), 1);
            if (c.ignoredAtStart) {
                ::signal(c.signal, SIG_IGN);
            }
            ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
            ::dup2(::open((dir + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
            ::execl(ARENA_PROGRAM, "arena", "validate", "--cycles", "1", "--time-limit", "30", library.c_str(),
                    nullptr);
            ::_exit(127);
        }
        ASSERT_GT(validator, 0);
        // The hostile check's child comes after the registration check has printed its line.
        pid_t child = 0;
        const std::string children =
            "/proc/" + std::to_string(validator) + "/task/" + std::to_string(validator) + "/children";
        EXPECT_TRUE(within([&] {
            child = 0;
            std::ifstream(children) >> child;
            return child > 0 && read(out).ends_with("PASS registration\n");
        })) << c.name
            << ": " << read(out);

        ::kill(validator, c.signal);
        int status = 0;
        const bool ended = within([&] { return ::waitpid(validator, &status, WNOHANG) == validator; });
        EXPECT_TRUE(ended) << c.name;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + c.signal) << c.name << ": status " << status;
        EXPECT_EQ(read(out),
                  std::string("PASS library\nPASS lifecycle\nPASS registration\nFAIL hostile: interrupted (") + c.name +
                      ")\n3 passed, 1 failed\n");
        if (child > 0) {
            EXPECT_TRUE(gone(child) && gone(-child)) << c.name << ": the child or its group is left";
            ::kill(-child, SIGKILL);
        }
        if (!ended) {
            ::kill(validator, SIGKILL);
            ::waitpid(validator, nullptr, 0);
        }
    }
}

} // namespace
