// A plug-in library file the arena cannot run is refused with the reason, and the arena lives on:
// a folder is refused by its kind.

#include <filesystem>

#include "arena_program.h"

namespace {

class LibraryRefusals : public ::testing::Test, public ArenaProgram {};

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
