// The arena run against configuration files that are not plain files of settings: folders, FIFOs,
// links, modes and a file it may not read. POSIX only.

#include <sys/stat.h>

#include "arena_program.h"

namespace {

class ConfigFileKinds : public ::testing::Test, public ArenaProgram {};

// `text` with each "@" replaced by `path`.
std::string named(std::string text, const std::string& path)
{
    for (size_t at; (at = text.find('@')) != std::string::npos;) {
        text.replace(at, 1, path);
    }
    return text;
}

// "@" in the expected standard error stands for the file's path.
TEST_F(ConfigFileKinds, OnlyARegularFileOfSettingsIsWrittenAndItsModeAndLinksStay)
{
    const std::string kinds = " && chmod 755 . && mkdir folder && mkfifo fifo && ln -s real.cfg link.cfg && ln -s "
                              "nowhere.cfg dangling.cfg && ln -s loop.cfg loop.cfg";
    ASSERT_EQ(std::system(("cd " + dir + kinds).c_str()), 0);
    file("real.cfg", "# dotfiles\nvolanko_throwlevel \"hard\"\n");
    file("private.cfg", "volanko_throwplayer \"0\"\n");
    file("unreadable.cfg", "volanko_throwlevel \"easy\"\n");
    file("bashrc", "alias ll='ls -l'\nexport A=1\n");
    ::chmod((dir + "/private.cfg").c_str(), 0600);
    ::chmod((dir + "/unreadable.cfg").c_str(), 0);
    const std::string level = "volanko_throwlevel \"pro\"\n";

    // Refused when read, and again, with what the session changed, when it would be saved.
    const auto refused = [](const std::string& why, const std::string& onReading = "") {
        return (onReading.empty() ? "arena: " + why + "; it will not be saved\n" : onReading) + "arena: not saved (" +
               why + "); changed this session: volanko_throwlevel\n";
    };
    const std::string notSetting = "expected a name and a quoted value: name \"value\"\n";
    const struct {
        std::string name; // in the test's folder unless absolute
        mode_t mode;      // 0 for a link
        std::string after;
        std::string err;
        int status;
    } cases[] = {
        {"link.cfg", 0, "# dotfiles\n" + level, "", 0},
        {"dangling.cfg", 0, level, "", 0},
        {"private.cfg", S_IFREG | 0600, "volanko_throwplayer \"0\"\n" + level, "", 0},
        {"folder", S_IFDIR | 0755, "", refused("@ is a directory; the configuration must be a regular file"), 3},
        {"fifo", S_IFIFO | 0644, "", refused("@ is a FIFO; the configuration must be a regular file"), 3},
        {"/dev/null", S_IFCHR | 0666, "", refused("@ is a character device; the configuration must be a regular file"),
         3},
        {"loop.cfg", 0, "", refused("@: Too many levels of symbolic links"), 3},
        {"unreadable.cfg", S_IFREG, "volanko_throwlevel \"easy\"\n", refused("cannot read @: Permission denied"), 3},
        {"bashrc", S_IFREG | 0644, "alias ll='ls -l'\nexport A=1\n",
         refused("@ has lines that are neither settings, comments nor blank",
                 "@:1: " + notSetting + "@:2: " + notSetting +
                     "arena: will not save into @: it has lines that are neither settings, comments nor blank\n"),
         3},
    };
    for (const auto& c : cases) {
        const std::string path = c.name.starts_with("/") ? c.name : dir + "/" + c.name;
        // An unreadable file stays readable to root: the arena runs as nobody for it.
        const std::string as =
            c.name == "unreadable.cfg" && ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        const Outcome outcome = run("--seed 1 --config " + path + " script -", "volanko_throwlevel pro\n", as);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.err, named(c.err, path)) << c.name;
        struct stat info {};
        ASSERT_EQ(::lstat(path.c_str(), &info), 0) << c.name;
        EXPECT_EQ(info.st_mode & (S_IFMT | (c.mode & 07777 ? 07777 : 0)), c.mode == 0 ? S_IFLNK : c.mode) << c.name;
        if (S_ISREG(info.st_mode) ? (info.st_mode & 0444) != 0 : S_ISLNK(info.st_mode)) {
            EXPECT_EQ(read(path), c.after) << c.name;
        }
    }
    // A session that failed of itself keeps its own status.
    EXPECT_EQ(run("--seed 1 --config " + dir + "/folder script -", "volanko_throwlevel pro\nbogus\n").status, 1);
}

} // namespace
