#include "arena/console/config_file.h"

#include <chrono>
#include <filesystem>

#include "tests/arena/arena_program.h"

namespace {
// What the arena hands the file: the host's setter, here a bare console's.
arena::VariableSetter setterOf(runtime::Console& console)
{
    return [&console](std::string_view name, std::string_view text) { return console.set(name, text); };
}
} // namespace

namespace {

runtime::CVar variable(const char* name, const char* value, bool save, bool bounded = false)
{
    runtime::CVar cvar;
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
    runtime::Console first;
    runtime::Console second;
    for (runtime::Console* console : {&first, &second}) {
        console->registerCvar(variable("num", "1", true, true));
        console->registerCvar(variable("word", "w", true));
    }
    arena::ConfigFile one(path);
    arena::ConfigFile two(path);
    one.load(first, setterOf(first), messages);
    EXPECT_EQ(messages, (std::vector<std::string>{path + ":3: num: \"abc\" is neither a finite number nor a range "
                                                         "\"(low, high)\"; the value stays \"10\""}));
    EXPECT_EQ(first.find("num")->value, "10"); // clamped like any other set
    two.load(second, setterOf(second), messages);

    // Nothing changed: nothing written, and the file keeps the time it is given here.
    const auto past =
        std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now()) - std::chrono::hours(1);
    std::filesystem::last_write_time(path, past);
    EXPECT_TRUE(one.save(first, messages));
    EXPECT_EQ(std::filesystem::last_write_time(path), past);

    first.set("word", "from one");
    second.set("num", "3");
    EXPECT_TRUE(two.save(second, messages));
    EXPECT_TRUE(one.save(first, messages));
    EXPECT_EQ(read(path), "# kept\nnum \"3\"\nnum \"3\"\nother \"o\"\nword \"from one\"\n");
}

TEST_F(ConfigFile, ManyProblemsAreCountedAndLongValuesCut)
{
    const std::string longValue(100, 'x');
    std::string text;
    for (int i = 0; i < 12; ++i) {
        text += "num \"" + longValue + "\"\n";
    }
    for (int i = 0; i < 11; ++i) {
        text += "oops\n";
    }
    const std::string path = file("arena.cfg", text);
    runtime::Console console;
    console.registerCvar(variable("num", "1", true, true));
    std::vector<std::string> messages;
    arena::ConfigFile(path).load(console, setterOf(console), messages);

    std::vector<std::string> expected;
    for (int line = 13; line < 23; ++line) {
        expected.push_back(path + ":" + std::to_string(line) + ": expected a name and a quoted value: name \"value\"");
    }
    expected.push_back(path + ": ... and 1 more");
    expected.push_back("arena: will not save into " + path +
                       ": it has lines that are neither settings, comments nor blank");
    for (int line = 1; line <= 10; ++line) {
        expected.push_back(path + ":" + std::to_string(line) + ": num: \"" +
                           longValue.substr(0, runtime::kExcerptShown) +
                           "\xE2\x80\xA6\" (100 bytes) is neither a finite number nor a range \"(low, high)\"; the "
                           "value stays \"1\"");
    }
    expected.push_back(path + ": ... and 2 more");
    EXPECT_EQ(messages, expected);
}

TEST_F(ConfigFile, AFileBeyondTheBoundIsNeitherAppliedNorSaved)
{
    constexpr size_t kBound = 1048576;
    const std::string setting = "num \"3\"\n";
    const struct {
        size_t size;
        bool refused;
    } cases[] = {{kBound, false}, {kBound + 1, true}};
    for (const auto& c : cases) {
        const std::string text = setting + "#" + std::string(c.size - setting.size() - 2, '-') + "\n";
        const std::string path = file("arena.cfg", text);
        runtime::Console console;
        console.registerCvar(variable("num", "1", true, true));
        std::vector<std::string> messages;
        arena::ConfigFile config(path);
        config.load(console, setterOf(console), messages);
        console.set("num", "4");
        EXPECT_EQ(config.save(console, messages), !c.refused);
        const std::string why = path + " is over 1048576 bytes, too large for a configuration";
        const std::vector<std::string> expected = {"arena: " + why + "; it will not be saved",
                                                   "arena: not saved (" + why + "); changed this session: num"};
        EXPECT_EQ(messages, c.refused ? expected : std::vector<std::string>()) << c.size;
        EXPECT_EQ(read(path).substr(0, setting.size()), c.refused ? setting : "num \"4\"\n") << c.size;
    }
}

} // namespace
