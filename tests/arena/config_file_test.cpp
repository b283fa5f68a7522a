#include "config_file.h"

#include <sys/stat.h>

#include "arena_program.h"

namespace {

host::CVar variable(const char* name, const char* value, bool save, bool bounded = false)
{
    host::CVar cvar;
    cvar.name = name;
    cvar.defaultValue = value;
    cvar.save = save;
    cvar.hasMin = cvar.hasMax = bounded;
    cvar.max = 10;
    return cvar;
}

class ConfigFile : public ::testing::Test, public ArenaProgram {};

TEST(ConfigText, RenderKeepsEveryLineItDoesNotChange)
{
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        std::string file;
        std::vector<arena::ConfigEntry> changes;
        std::string merged;
    } cases[] = {
        {"# mine\n\na \"1\"\nunknown \"u\"\n", {{"a", "2", 0}}, "# mine\n\na \"2\"\nunknown \"u\"\n"},
        {bom + "a \"1\"\r\nb \"x\"  // note\r\n", {{"a", "3", 0}}, bom + "a \"3\"\r\nb \"x\"  // note\r\n"},
        {"a \"1\"\n a  \"5\"", {{"a", "(1, 2)", 0}, {"new", "n", 0}}, "a \"(1, 2)\"\na \"(1, 2)\"\nnew \"n\"\n"},
        {"", {{"q", "say \"hi\"", 0}, {"", "x", 0}, {"b", "", 0}}, "b \"\"\n"},
    };
    std::vector<std::string> skipped;
    for (const Case& c : cases) {
        EXPECT_EQ(arena::renderConfig(arena::parseConfig(c.file), c.changes, skipped), c.merged) << c.file;
        EXPECT_EQ(arena::renderConfig(arena::parseConfig(c.file), {}, skipped), c.file);
    }
    EXPECT_EQ(skipped, (std::vector<std::string>{"q", ""}));
    const arena::ConfigText faults = arena::parseConfig(bom + "a \"1\"\nb\n\"open\nb 1\n");
    ASSERT_EQ(arena::configEntries(faults).size(), 1u);
    EXPECT_EQ(arena::configEntries(faults)[0].name, "a");
    EXPECT_EQ(faults.problems, (std::vector<std::string>{"2: expected a name and a quoted value: name \"value\"",
                                                         "3: unterminated quote (opened at column 1)",
                                                         "4: expected a name and a quoted value: name \"value\""}));
}

TEST_F(ConfigFile, RefusedValuesAreReportedAndOnlyThisSessionsChangesAreMerged)
{
    const std::string path = file("arena.cfg", "# kept\nnum \"20\"\nnum \"abc\"\nother \"o\"\n");
    std::vector<std::string> messages;
    host::Console first;
    host::Console second;
    for (host::Console* console : {&first, &second}) {
        console->registerCvar(variable("num", "1", true, true));
        console->registerCvar(variable("word", "w", true));
    }
    arena::ConfigFile one(path);
    arena::ConfigFile two(path);
    one.load(first, messages);
    EXPECT_EQ(messages, (std::vector<std::string>{path + ":3: num: \"abc\" is neither a finite number nor a range "
                                                         "\"(low, high)\"; the value stays \"10\""}));
    EXPECT_EQ(first.find("num")->value, "10"); // clamped like any other set
    two.load(second, messages);

    struct stat before {};
    ::stat(path.c_str(), &before);
    EXPECT_TRUE(one.save(first, messages)); // nothing changed: nothing written
    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);

    first.set("word", "from one");
    second.set("num", "3");
    EXPECT_TRUE(two.save(second, messages));
    EXPECT_TRUE(one.save(first, messages));
    EXPECT_EQ(read(path), "# kept\nnum \"3\"\nnum \"3\"\nother \"o\"\nword \"from one\"\n");
}

// The arena run against configuration files that are not plain files of settings. "@" in the
// expected standard error stands for the file's path.
TEST_F(ConfigFile, OnlyARegularFileOfSettingsIsWrittenAndItsModeAndLinksStay)
{
    const std::string kinds = " && chmod 755 . && mkdir folder && mkfifo fifo && ln -s real.cfg link.cfg && ln -s "
                              "nowhere.cfg dangling.cfg";
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
        std::string name;
        mode_t mode; // 0 for a link
        std::string after;
        std::string err;
    } cases[] = {
        {"link.cfg", 0, "# dotfiles\n" + level, ""},
        {"dangling.cfg", 0, level, ""},
        {"private.cfg", S_IFREG | 0600, "volanko_throwplayer \"0\"\n" + level, ""},
        {"folder", S_IFDIR | 0755, "", refused("@ is a directory; the configuration must be a regular file")},
        {"fifo", S_IFIFO | 0644, "", refused("@ is a FIFO; the configuration must be a regular file")},
        {"unreadable.cfg", S_IFREG, "volanko_throwlevel \"easy\"\n", refused("cannot read @: Permission denied")},
        {"bashrc", S_IFREG | 0644, "alias ll='ls -l'\nexport A=1\n",
         refused("@ has lines that are neither settings, comments nor blank",
                 "@:1: " + notSetting + "@:2: " + notSetting +
                     "arena: will not save into @: it has lines that are neither settings, comments nor blank\n")},
    };
    for (const auto& c : cases) {
        const std::string path = dir + "/" + c.name;
        // An unreadable file stays readable to root: the arena runs as nobody for it.
        const std::string as =
            c.name == "unreadable.cfg" && ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        const Outcome outcome = run("--seed 1 --config " + path + " script -", "volanko_throwlevel pro\n", as);
        EXPECT_EQ(outcome.status, 0) << c.name;
        std::string err = c.err;
        for (size_t at; (at = err.find('@')) != std::string::npos;) {
            err.replace(at, 1, path);
        }
        EXPECT_EQ(outcome.err, err) << c.name;
        struct stat info {};
        ASSERT_EQ(::lstat(path.c_str(), &info), 0) << c.name;
        EXPECT_EQ(info.st_mode & (S_IFMT | (c.mode & 07777 ? 07777 : 0)), c.mode == 0 ? S_IFLNK : c.mode) << c.name;
        if (S_ISREG(info.st_mode) ? (info.st_mode & 0444) != 0 : S_ISLNK(info.st_mode)) {
            EXPECT_EQ(read(path), c.after) << c.name;
        }
    }
}

} // namespace
