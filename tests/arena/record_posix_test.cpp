// Recordings among what only a POSIX system makes easily: links, hard links and the console's
// history under $XDG_STATE_HOME.

#include <unistd.h>

#include <filesystem>

#include "arena_program.h"

namespace {

class RecordPosix : public ::testing::Test, public ArenaProgram {};

TEST_F(RecordPosix, NeverIntoTheHistoryOrAnotherLinkToAnInput)
{
    const std::string script = file("scr.txt", "arena_freeplay 1\n");
    ASSERT_EQ(::link(script.c_str(), (dir + "/hard.txt").c_str()), 0);
    ASSERT_EQ(::symlink("scr.txt", (dir + "/soft.txt").c_str()), 0);
    std::filesystem::create_directories(dir + "/state/volanko");
    const std::string history = file("state/volanko/history", "arena_freeplay 1\n");
    const struct {
        std::string args;
        std::string path;
        std::string what;
    } cases[] = {
        {"script --record " + dir + "/hard.txt " + script, dir + "/hard.txt", "the script the session runs"},
        {"script --record " + dir + "/soft.txt " + script, dir + "/soft.txt", "the script the session runs"},
        {"console --record " + history, history, "the console's history file"},
    };
    for (const auto& c : cases) {
        for (const std::string force : {"", "--force "}) {
            const Outcome outcome =
                run("--seed 1 --no-config " + force + c.args, "", "env XDG_STATE_HOME='" + dir + "/state' ");
            EXPECT_EQ(outcome.status, 2) << force << c.args;
            EXPECT_EQ(outcome.err, "arena: will not record into " + c.path + ": it is " + c.what + "\n")
                << force << c.args;
            EXPECT_EQ(read(c.path), "arena_freeplay 1\n") << force << c.args;
        }
    }
}

} // namespace
