// The arena run against configuration files that are not plain files of settings: folders, FIFOs,
// devices, links, modes, files it may not read or write, other users' files, hard links, and what
// a killed save left. POSIX only.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

#include "tests/arena/arena_program.h"

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
    file("readonly.cfg", "volanko_throwlevel \"easy\"\n");
    ::chmod((dir + "/private.cfg").c_str(), 0600);
    ::chmod((dir + "/unreadable.cfg").c_str(), 0);
    ::chmod((dir + "/readonly.cfg").c_str(), 0444);
    const std::string level = "volanko_throwlevel \"pro\"\n";

    // Refused when read, and again, with what the session changed, when it would be saved.
    const auto refused = [](const std::string& why, const std::optional<std::string>& onReading = std::nullopt) {
        return onReading.value_or("arena: " + why + "; it will not be saved\n") + "arena: not saved (" + why +
               "); changed this session: volanko_throwlevel\n";
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
        // Read-only even to root, who runs these tests.
        {"readonly.cfg", S_IFREG | 0444, "volanko_throwlevel \"easy\"\n",
         refused("cannot write @: Permission denied", ""), 3},
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

// Root runs these tests; the arena runs as nobody, in a folder of nobody's, on root's files.
TEST_F(ConfigFileKinds, AnotherUsersFileIsWrittenOnlyWhenItMayBeAndKeepsItsOwner)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "running the arena as another user needs root";
    }
    const std::string make = " && chmod 755 . && mkdir theirs locked && chown 65534:65534 theirs && chmod 555 locked";
    ASSERT_EQ(std::system(("cd " + dir + make).c_str()), 0);
    const std::string easy = "volanko_throwlevel \"easy\"\n";
    const std::string changed = "changed this session: volanko_throwlevel\n";
    const struct {
        std::string name;
        mode_t mode; // of the file before and after; 0 for none
        std::string after;
        std::string err; // its start, when `status` is 3: a temporary file's name holds the process's id
        int status;
    } cases[] = {
        {"theirs/root.cfg", 0644, easy, "arena: not saved (cannot write @: Permission denied); " + changed, 3},
        {"theirs/shared.cfg", 0666, "volanko_throwlevel \"pro\"\n", "", 0},
        {"locked/arena.cfg", 0, "", "arena: not saved (cannot write @.tmp.", 3},
    };
    for (const auto& c : cases) {
        const std::string path = dir + "/" + c.name;
        if (c.mode != 0) {
            file(c.name, easy);
            ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        }
        const Outcome outcome = run("--seed 1 --config " + path + " script -", "volanko_throwlevel pro\n",
                                    "setpriv --reuid=65534 --regid=65534 --clear-groups ");
        EXPECT_EQ(outcome.status, c.status) << c.name;
        const std::string err = named(c.err, path);
        EXPECT_TRUE(c.mode == 0
                        ? outcome.err.starts_with(err) && outcome.err.ends_with(": Permission denied); " + changed)
                        : outcome.err == err)
            << c.name << ": " << outcome.err;
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0, c.mode) << c.name;
        if (c.mode != 0) {
            EXPECT_EQ(info.st_uid, 0u) << c.name;
            EXPECT_EQ(read(path), c.after) << c.name;
        }
    }
}

TEST_F(ConfigFileKinds, AFileWithOtherNamesIsWrittenInPlace)
{
    const std::string path = file("arena.cfg", "# mine\nvolanko_throwlevel \"easy\"\n");
    ASSERT_EQ(::link(path.c_str(), (dir + "/other.cfg").c_str()), 0);
    const Outcome outcome = run("--seed 1 --config " + path + " script -", "volanko_throwlevel pro\n");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    struct stat one {};
    struct stat other {};
    ASSERT_EQ(::stat(path.c_str(), &one), 0);
    ASSERT_EQ(::stat((dir + "/other.cfg").c_str(), &other), 0);
    EXPECT_EQ(one.st_ino, other.st_ino);
    EXPECT_EQ(one.st_nlink, 2u);
    EXPECT_EQ(read(dir + "/other.cfg"), "# mine\nvolanko_throwlevel \"pro\"\n");
}

TEST_F(ConfigFileKinds, ASaveRemovesTheTemporaryFilesOfProcessesThatEnded)
{
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const struct {
        std::string name;
        bool kept;
    } cases[] = {
        {"arena.cfg.tmp." + std::to_string(ended), false},
        {"arena.cfg.tmp.1", true}, // the first process runs as long as the system
        {"other.cfg.tmp." + std::to_string(ended), true},
        {"arena.cfg.tmp." + std::to_string(ended) + "x", true},
    };
    for (const auto& c : cases) {
        file(c.name, std::string(4096, 'x'));
    }
    const std::string path = dir + "/arena.cfg";
    EXPECT_EQ(run("--seed 1 --config " + path + " script -", "volanko_throwlevel pro\n").status, 0);
    EXPECT_EQ(read(path), "volanko_throwlevel \"pro\"\n");
    for (const auto& c : cases) {
        EXPECT_EQ(::access((dir + "/" + c.name).c_str(), F_OK) == 0, c.kept) << c.name;
    }
}

} // namespace
