// The platform's files and places as the arena relies on them: a replace that fails leaves what
// was there, and the user's folders follow the environment's rules.

#include <cerrno>
#include <cstdlib>

#include "platform/files.h"
#include "platform/paths.h"
#include "tests/arena/arena_program.h"

namespace {

class Replace : public ::testing::Test, public ArenaProgram {};

TEST_F(Replace, TheNewFileOrTheOldOneAndNoTemporaryLeft)
{
    const std::string kept = file("kept", "old");
    ASSERT_EQ(::mkdir((dir + "/folder").c_str(), 0755), 0);
    const struct {
        std::string target;
        int error;           // what the replace returns
        std::string failed;  // the path it names on failure
        std::string content; // of the target afterwards; empty for the folder
    } cases[] = {
        {dir + "/made", 0, "", "new"},
        {kept, 0, "", "new"},
        // A folder in the way: the rename fails after the new text is complete beside it.
        {dir + "/folder", EISDIR, dir + "/folder", ""},
        {dir + "/missing/file", ENOENT, dir + "/missing/file.tmp." + std::to_string(::getpid()), ""},
    };
    for (const auto& c : cases) {
        std::string failed;
        EXPECT_EQ(platform::replaceFile(c.target, "new", failed), c.error) << c.target;
        EXPECT_EQ(failed, c.failed) << c.target;
        if (!c.content.empty()) {
            EXPECT_EQ(read(c.target), c.content) << c.target;
        }
    }
    EXPECT_EQ(platform::fileFacts(dir + "/folder").kind, platform::FileKind::Directory);
    EXPECT_EQ(std::system(("test -z \"$(find '" + dir + "' -name '*.tmp.*')\"").c_str()), 0);
}

// $XDG_CONFIG_HOME is followed by every run of the program in these tests, so each variable is put
// back as it was.
TEST(UserFiles, AnAbsoluteXdgFolderElseTheHomeFolderElseNone)
{
    const char* names[] = {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "HOME"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    const struct {
        const char* xdg; // set in both XDG variables; null: unset
        const char* home;
        const char* config;
        const char* state;
    } cases[] = {
        {"/x", "/h", "/x/volanko/arena.cfg", "/x/volanko/history"},
        {"relative", "/h", "/h/.config/volanko/arena.cfg", "/h/.local/state/volanko/history"},
        {nullptr, "/h", "/h/.config/volanko/arena.cfg", "/h/.local/state/volanko/history"},
        {"", nullptr, "", ""},
    };
    for (const auto& c : cases) {
        for (const char* name : {names[0], names[1]}) {
            c.xdg ? ::setenv(name, c.xdg, 1) : ::unsetenv(name);
        }
        c.home ? ::setenv("HOME", c.home, 1) : ::unsetenv("HOME");
        EXPECT_EQ(platform::userConfigFile("volanko", "arena.cfg"), c.config) << (c.xdg ? c.xdg : "unset");
        EXPECT_EQ(platform::userStateFile("volanko", "history"), c.state) << (c.xdg ? c.xdg : "unset");
    }
    for (size_t i = 0; i < saved.size(); ++i) {
        saved[i] ? ::setenv(names[i], saved[i]->c_str(), 1) : ::unsetenv(names[i]);
    }
}

} // namespace
