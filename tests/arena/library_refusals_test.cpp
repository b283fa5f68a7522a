// A plug-in library file the arena cannot run is refused with the reason, and the arena lives on:
// a folder is refused by its kind, and a library that crashes as the system loads it crashes a
// first load in a child process, never the arena.

#include <gmock/gmock.h>

#include <filesystem>
#ifdef _WIN32
#include <regex>
#endif

#include "tests/arena/arena_program.h"
#include "tests/support/broken_plugin_path.h"

namespace {

#ifdef _WIN32 // the system's loader may catch the crash and fail the load itself
const std::string kCrashed =
    "(the library crashed while being loaded \\(access violation\\)|cannot be opened as a library: .*)";
#else // under the sanitizers the child ends with their report instead
const std::string kCrashed = "the library (crashed while being loaded \\(SIG[A-Z]+\\)|ended the process while being "
                             "loaded \\(exit status [0-9]+\\))";
#endif

class LibraryRefusals : public ::testing::Test, public ArenaProgram {};

TEST_F(LibraryRefusals, ACrashWhileLoadingIsTheLibrarysNotTheArenas)
{
    const std::string library = brokenPlugin("crashes_loading");
    for (const std::string command : {"--version", "--no-config script -", "--no-config console"}) {
        const Outcome outcome = run("--plugin " + library + " " + command);
        EXPECT_EQ(outcome.status, 1) << command << ": " << outcome.err;
        EXPECT_EQ(outcome.out, "") << command;
        const std::vector<std::string> err = linesOf(outcome.err);
        ASSERT_FALSE(err.empty()) << command;
#ifdef _WIN32 // GoogleTest's own expressions lack alternatives there
        EXPECT_TRUE(std::regex_match(err.back(), std::regex("arena: " + library + ": " + kCrashed))) << err.back();
#else
        EXPECT_THAT(err.back(), ::testing::MatchesRegex("arena: " + library + ": " + kCrashed));
#endif
    }
}

TEST_F(LibraryRefusals, AFolderIsRefusedByItsKind)
{
    const std::string folder = dir + "/libfolder" + PLUGIN_SUFFIX;
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const Outcome outcome = run("--plugin " + folder + " --version");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err,
              "arena: " + folder + ": cannot be opened as a library: it is a directory, not a regular file\n");
}

} // namespace
