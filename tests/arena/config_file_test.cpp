#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "config_file.h"

namespace {

host::CVar variable(const char* name, const char* value, bool save, bool bounded = false)
{
    host::CVar cvar;
    cvar.name = name;
    cvar.defaultValue = value;
    cvar.save = save;
    if (bounded) {
        cvar.hasMin = true;
        cvar.min = 0;
        cvar.hasMax = true;
        cvar.max = 10;
    }
    return cvar;
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/arena-config-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/sub/arena.cfg";
    }
    void TearDown() override
    {
        const std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string read() const
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string dir;
    std::string path;
};

TEST_F(ConfigFile, MissingFileIsNoEntriesAndNoProblem)
{
    std::vector<std::string> problems;
    EXPECT_TRUE(arena::readConfig(path, problems).empty());
    EXPECT_TRUE(problems.empty());
}

TEST_F(ConfigFile, WritesSavedVariablesThenKeepsUnknownOnesAndReadsBack)
{
    host::Console console;
    console.registerCvar(variable("a_saved", "(1, 2)", true));
    console.registerCvar(variable("b_unsaved", "x", false));
    console.registerCvar(variable("c_saved", "two words", true));
    const std::vector<arena::ConfigEntry> fromFile{{"other_plugin", "7", 3}, {"a_saved", "5", 4}};
    std::string error;
    ASSERT_TRUE(arena::writeConfig(path, arena::configToSave(console, fromFile), error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(read(), "a_saved \"(1, 2)\"\nc_saved \"two words\"\nother_plugin \"7\"\n");
    EXPECT_EQ(::access((path + ".tmp." + std::to_string(::getpid())).c_str(), F_OK), -1);

    std::vector<std::string> problems;
    const auto entries = arena::readConfig(path, problems);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "c_saved");
    EXPECT_EQ(entries[1].value, "two words");
    EXPECT_EQ(entries[1].line, 2);
}

TEST_F(ConfigFile, MalformedLinesAndRefusedValuesAreReportedWithTheirLine)
{
    host::Console console;
    console.registerCvar(variable("num", "1", true, true));
    console.registerCvar(variable("free", "a", false));
    std::string error;
    ASSERT_TRUE(arena::writeConfig(path, {}, error));
    {
        std::ofstream out(path);
        out << "# a comment\n"
               "num \"20\"\n"
               "num\n"
               "num \"open\n"
               "num \"abc\"\n"
               "free \"b\"\n";
    }
    std::vector<std::string> problems;
    const auto entries = arena::readConfig(path, problems);
    arena::applyConfig(console, path, entries, problems);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0], path + ":3: expected a name and a quoted value: name \"value\"");
    EXPECT_EQ(problems[1], path + ":4: unterminated quote (opened at column 5)");
    EXPECT_EQ(problems[2], path + ":5: num: \"abc\" is neither a finite number nor a range \"(low, high)\"; the "
                                  "value stays \"10\"");
    // Clamped like any other set; a variable not registered to be saved is left alone.
    EXPECT_EQ(console.find("num")->value, "10");
    EXPECT_EQ(console.find("free")->value, "a");
    EXPECT_TRUE(console.messages.empty());
}

TEST_F(ConfigFile, ValuesThatCannotBeWrittenAreLeftOutAndNamed)
{
    std::string error;
    ASSERT_TRUE(arena::writeConfig(path, {{"good", "1", 0}, {"bad", "say \"hi\"", 0}}, error));
    EXPECT_NE(error.find(": bad"), std::string::npos) << error;
    EXPECT_EQ(read(), "good \"1\"\n");
}

TEST(ConfigPath, FollowsXdgThenHome)
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = xdg ? xdg : "";
    ::setenv("XDG_CONFIG_HOME", "/x/cfg", 1);
    EXPECT_EQ(arena::defaultConfigPath(), "/x/cfg/volanko/arena.cfg");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", ::getenv("HOME") ? ::getenv("HOME") : "/h", 1);
    EXPECT_EQ(arena::defaultConfigPath(), std::string(::getenv("HOME")) + "/.config/volanko/arena.cfg");
    if (xdg) {
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    }
}

} // namespace
