// Recordings and replay among what only a POSIX system makes easily: FIFOs, devices, links, hard
// links, sparse files and the console's history under $XDG_STATE_HOME.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/arena/arena_program.h"

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

// Nothing replay reads can make it wait or read without end; what it writes never lands on what
// it read.
TEST_F(RecordPosix, ReplayReadsRegularFilesOfBoundedSizesOnly)
{
    const std::string recording = file("r.jsonl", kRecording);
    const std::string page = file("page.html", "<!--VOLANKO-RECORDING-->");
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Sparse: one byte past each bound.
    const std::string large = file("large.jsonl", "");
    ASSERT_EQ(::truncate(large.c_str(), (off_t{256} << 20) + 1), 0);
    const std::string largePage = file("large.html", "");
    ASSERT_EQ(::truncate(largePage.c_str(), (off_t{16} << 20) + 1), 0);
    const std::string linked = file("linked.jsonl", kRecording);
    ASSERT_EQ(::symlink("linked.jsonl", (linked + ".html").c_str()), 0);
    const struct {
        std::string args;
        std::string err;
    } cases[] = {
        {fifo, "arena replay: cannot read " + fifo + ": it is a FIFO\n"},
        {"--page " + fifo + " " + recording, "arena replay: cannot read the replay page " + fifo + ": it is a FIFO\n"},
        {"/dev/zero", "arena replay: cannot read /dev/zero: it is a character device\n"},
        {large, "arena replay: cannot read " + large + ": it is larger than 256 MiB, the most a recording may be\n"},
        {"--page " + largePage + " " + recording, "arena replay: cannot read the replay page " + largePage +
                                                      ": it is larger than 16 MiB, the most a page may be\n"},
        {linked, "arena replay: will not write " + linked + ".html: it is the recording\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run("replay --page " + page + " " + c.args);
        EXPECT_EQ(outcome.status, 1) << c.args;
        EXPECT_EQ(outcome.err, c.err) << c.args;
    }
    EXPECT_EQ(read(linked), kRecording);
}

} // namespace
