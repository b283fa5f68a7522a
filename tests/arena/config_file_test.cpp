#include "config_file.h"

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

// The temporary folder for the file; the program itself is not run.
class ConfigFile : public ::testing::Test, public ArenaProgram {
protected:
    std::string path = dir + "/sub/arena.cfg";
    std::vector<std::string> problems;
    std::string error;
};

TEST_F(ConfigFile, WritesSavedVariablesThenKeepsUnknownOnesAndReadsBack)
{
    EXPECT_TRUE(arena::readConfig(path, problems).empty()); // missing: no entries, no problem
    host::Console console;
    console.registerCvar(variable("a_saved", "(1, 2)", true));
    console.registerCvar(variable("b_unsaved", "x", false));
    console.registerCvar(variable("c_saved", "two words", true));
    const std::vector<arena::ConfigEntry> fromFile{{"other_plugin", "7", 3}, {"a_saved", "5", 4}};
    ASSERT_TRUE(arena::writeConfig(path, arena::configToSave(console, fromFile), error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(read(path), "a_saved \"(1, 2)\"\nc_saved \"two words\"\nother_plugin \"7\"\n");
    EXPECT_EQ(::access((path + ".tmp." + std::to_string(::getpid())).c_str(), F_OK), -1);

    const auto entries = arena::readConfig(path, problems);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "c_saved");
    EXPECT_EQ(entries[1].value, "two words");
    EXPECT_EQ(entries[1].line, 2);
    EXPECT_TRUE(problems.empty());
}

TEST_F(ConfigFile, MalformedLinesAndRefusedValuesAreReportedWithTheirLine)
{
    host::Console console;
    console.registerCvar(variable("num", "1", true, true));
    console.registerCvar(variable("free", "a", false));
    file("arena.cfg", "# a comment\nnum \"20\"\nnum\nnum \"open\nnum \"abc\"\nfree \"b\"\n");
    path = dir + "/arena.cfg";
    arena::applyConfig(console, path, arena::readConfig(path, problems), problems);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            path + ":3: expected a name and a quoted value: name \"value\"",
                            path + ":4: unterminated quote (opened at column 5)",
                            path + ":5: num: \"abc\" is neither a finite number nor a range \"(low, high)\"; the "
                                   "value stays \"10\""}));
    // Clamped like any other set; a variable not registered to be saved is left alone.
    EXPECT_EQ(console.find("num")->value, "10");
    EXPECT_EQ(console.find("free")->value, "a");
    EXPECT_TRUE(console.messages.empty());
}

TEST_F(ConfigFile, ValuesThatCannotBeWrittenAreLeftOutAndNamed)
{
    ASSERT_TRUE(arena::writeConfig(path, {{"good", "1", 0}, {"bad", "say \"hi\"", 0}}, error));
    EXPECT_NE(error.find(": bad"), std::string::npos) << error;
    EXPECT_EQ(read(path), "good \"1\"\n");
}

// $XDG_CONFIG_HOME is followed by every run of the program in these tests.
TEST(ConfigPath, WithoutXdgTheHomeFolder)
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = xdg ? xdg : "";
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/h", 0);
    EXPECT_EQ(arena::defaultConfigPath(), std::string(::getenv("HOME")) + "/.config/volanko/arena.cfg");
    if (xdg) {
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    }
}

} // namespace
