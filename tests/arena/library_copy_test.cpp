// The plug-in's file rewritten in place while the arena has it loaded: the session goes on, a
// reload reads the file as it is now and refuses it while it is incomplete.

#include "arena/console/library_copy.h"

#include <gmock/gmock.h>

#include "arena/common/load_refusal.h"
#include "arena/console/session.h"
#include "tests/arena/arena_program.h"

namespace {

class LibraryCopy : public ::testing::Test, public ArenaProgram {};

TEST_F(LibraryCopy, TheFileRewrittenInPlaceNeitherFaultsNorReloadsStale)
{
    const std::string good = read(VOLANKO_PLUGIN_PATH);
    const std::string path = file("libVolanko.so", good);
    runtime::Host host{1};
    const runtime::LoadResult loaded = arena::loadPrivateCopy(host, path);
    ASSERT_TRUE(loaded) << arena::loadRefusal(loaded);
    EXPECT_EQ(host.findPlugin(loaded.plugin)->path, path);
    arena::Session session(host, loaded.plugin, arena::SessionSettings{path, 120, 1, 0.6});
    std::string error;
    const auto run = [&](const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            EXPECT_TRUE(session.runLine(line, error)) << line << ": " << error;
        }
    };
    run({"arena_freeplay 1", "volanko_start", "arena_autopilot 1", "arena_frames 240"});

    // Truncated in place: the same file, so a mapping of it would lose its pages.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << good.substr(0, 20000);
    run({"arena_frames 240", "volanko_stop", "volanko_start", "arena_frames 10"});
    EXPECT_FALSE(session.runLine("arena_reload", error));
    EXPECT_THAT(error, ::testing::StartsWith(path + ": cannot be opened as a library: truncated: "));

    std::ofstream(path, std::ios::binary | std::ios::trunc) << good;
    run({"arena_reload", "volanko_start", "arena_frames 240", "arena_reload", "arena_reload"});
    EXPECT_EQ(host.plugins().size(), 1u);
}

} // namespace
