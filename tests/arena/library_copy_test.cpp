// The plug-in's file rewritten in place while the arena has it loaded: the session goes on, a
// reload reads the file as it is now and refuses it while it is incomplete.

#include "library_copy.h"

#include <sstream>

#include "arena_program.h"
#include "session.h"

namespace {

class LibraryCopy : public ::testing::Test, public ArenaProgram {
protected:
    void run(const std::vector<std::string>& lines)
    {
        for (const std::string& line : lines) {
            std::string error;
            ASSERT_TRUE(session->runLine(line, error)) << line << ": " << error;
        }
    }

    const std::string good = read(VOLANKO_PLUGIN_PATH);
    const std::string path = file("libVolanko.so", good);
    host::Host host{1};
    std::unique_ptr<arena::Session> session;
};

TEST_F(LibraryCopy, TheFileRewrittenInPlaceNeitherFaultsNorReloadsStale)
{
    const host::LoadResult loaded = arena::loadPrivateCopy(host, path);
    ASSERT_TRUE(loaded) << loaded.error;
    EXPECT_EQ(host.findPlugin(loaded.plugin)->path, path);
    session = std::make_unique<arena::Session>(host, loaded.plugin, arena::SessionSettings{path, 120, 1, 0.6});
    run({"arena_freeplay 1", "volanko_start", "arena_autopilot 1", "arena_frames 240"});

    // Truncated in place: the same file, so a mapping of it would lose its pages.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << good.substr(0, 20000);
    run({"arena_frames 240", "volanko_stop", "volanko_start", "arena_frames 10"});
    std::string error;
    EXPECT_FALSE(session->runLine("arena_reload", error));
    EXPECT_EQ(error, path + ": cannot be opened as a library: truncated: its section headers end past its 20000 bytes");

    std::ofstream(path, std::ios::binary | std::ios::trunc) << good;
    run({"arena_reload", "volanko_start", "arena_frames 240", "arena_reload", "arena_reload"});
    EXPECT_EQ(host.plugins.size(), 1u);
}

} // namespace
