// Library files of other kinds, refused by what they are before anything opens them: a FIFO would
// hold the open until a writer came, a device or a huge file would be read without end.

#include <sys/stat.h>
#include <unistd.h>

#include "tests/arena/arena_program.h"

namespace {

class LibraryKinds : public ::testing::Test, public ArenaProgram {};

TEST_F(LibraryKinds, EachIsRefusedByWhatItIsAndTheValidatorSaysTheSame)
{
    const std::string fifo = dir + "/libfifo.so";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string huge = dir + "/libhuge.so"; // sparse: no disk taken
    ASSERT_EQ(::truncate(file("libhuge.so", "\x7f"
                                            "ELF")
                             .c_str(),
                         (off_t{256} << 20) + 1),
              0);
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {fifo, "it is a FIFO, not a regular file"},
        {"/dev/null", "it is a character device, not a regular file"},
        {huge, "it is larger than 256 MiB, the most a plug-in library may hold"},
    };
    for (const auto& c : cases) {
        const Outcome loaded = run("--plugin " + c.path + " --version");
        EXPECT_EQ(loaded.status, 1) << c.path;
        EXPECT_EQ(loaded.out, "") << c.path;
        EXPECT_EQ(loaded.err, "arena: " + c.path + ": cannot be opened as a library: " + c.reason + "\n");

        const Outcome validated = run("validate " + c.path);
        EXPECT_EQ(validated.status, 1) << c.path;
        EXPECT_TRUE(
            validated.out.starts_with(std::string("FAIL library: cannot be opened as a library: ") + c.reason + "\n"))
            << validated.out;
    }
}

} // namespace
