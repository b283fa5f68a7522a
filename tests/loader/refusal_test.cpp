// The loader refuses what it cannot run, says which file and why, and carries on.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

#include "broken_plugin_path.h"
#include "host.h"
#include "library_state.h"
#include "plugin_record.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class Refusal : public ::testing::Test {
protected:
    // Loads `path`, expects a refusal naming the file and containing `reason`, and expects the
    // host untouched by it.
    std::string expectRefused(const std::string& path, const std::string& reason)
    {
        const host::LoadResult result = host.load(path);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.plugin, 0u);
        EXPECT_THAT(result.error, StartsWith(path + ": "));
        EXPECT_THAT(result.error, HasSubstr(reason));
        EXPECT_TRUE(host.plugins.empty());
        EXPECT_TRUE(host.hooks.empty());
        EXPECT_TRUE(host.drawables.empty());
        EXPECT_TRUE(host.console.notifiers.empty());
        EXPECT_TRUE(host.console.cvars.empty());
        EXPECT_FALSE(libraryIsOpen(path)) << "a refused library stays open";
        EXPECT_EQ(host.wrappersAlive(), 0);
        return result.error;
    }

    // A good plug-in still loads and runs after the refusals.
    void expectGoodLoadWorks()
    {
        const host::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
        ASSERT_TRUE(loaded) << loaded.error;
        host.world.setFreeplay(true);
        EXPECT_TRUE(host.runCommand({"volanko_start"}));
        host.drawFrame();
        EXPECT_EQ(host.canvas.draws().size(), 4u);
        EXPECT_TRUE(host.unload(loaded.plugin));
    }

    host::Host host{1};
};

TEST_F(Refusal, TextFileIsNotALibrary)
{
    expectRefused(brokenPlugin("not_a_library"), "cannot be opened as a library");
    expectGoodLoadWorks();
}

TEST_F(Refusal, MissingFile)
{
    const std::string error = expectRefused(brokenPlugin("that_was_never_built"), "cannot be opened as a library");
    EXPECT_THAT(error, HasSubstr("No such file"));
    expectGoodLoadWorks();
}

TEST_F(Refusal, NoExportsRecord)
{
    expectRefused(brokenPlugin("no_exports"), "no \"exports\" record");
    expectGoodLoadWorks();
}

TEST_F(Refusal, WrongVersionNamesBothVersions)
{
    const std::string error = expectRefused(brokenPlugin("wrong_version"), "host API version");
    EXPECT_THAT(error, HasSubstr("94"));
    EXPECT_THAT(error, HasSubstr("95"));
    EXPECT_EQ(error, brokenPlugin("wrong_version") + ": \"exports\" has host API version 94, not 95");
    expectGoodLoadWorks();
}

TEST_F(Refusal, NullCreateFunction)
{
    expectRefused(brokenPlugin("null_functions"), "\"exports\" has no createFunction");
    expectGoodLoadWorks();
}

TEST_F(Refusal, SameLibraryTwice)
{
    const host::LoadResult first = host.load(VOLANKO_PLUGIN_PATH);
    ASSERT_TRUE(first) << first.error;
    const host::LoadResult second = host.load(VOLANKO_PLUGIN_PATH);
    EXPECT_FALSE(second);
    EXPECT_THAT(second.error, StartsWith(std::string(VOLANKO_PLUGIN_PATH) + ": "));
    EXPECT_THAT(second.error, HasSubstr("already loaded"));

    // The first load is whole and alone: one set of registrations, still working.
    ASSERT_EQ(host.plugins.size(), 1u);
    EXPECT_EQ(host.hooks.size(), 1u);
    EXPECT_EQ(host.drawables.size(), 1u);
    EXPECT_EQ(host.console.notifiers.size(), 2u);
    EXPECT_EQ(host.console.repeatedRegistrations, 0u);
    host.world.setFreeplay(true);
    EXPECT_TRUE(host.runCommand({"volanko_start"}));
    host.drawFrame();
    EXPECT_EQ(host.canvas.draws().size(), 4u);
    EXPECT_TRUE(host.unload(first.plugin));
    EXPECT_FALSE(libraryIsOpen(VOLANKO_PLUGIN_PATH));
}

TEST_F(Refusal, EveryRefusalInARowThenAGoodLoad)
{
    for (const char* name : {"not_a_library", "no_exports", "wrong_version", "null_functions", "not_there"}) {
        EXPECT_FALSE(host.load(brokenPlugin(name))) << name;
    }
    EXPECT_TRUE(host.faults.reports.empty());
    expectGoodLoadWorks();
}

// The loader finds deleteMe through the record; only a look-up by name misses it.
TEST_F(Refusal, UnexportedDeleteIsAcceptedThroughTheRecord)
{
    const std::string path = brokenPlugin("missing_delete");
    const host::LoadResult loaded = host.load(path);
    ASSERT_TRUE(loaded) << loaded.error;
    void* library = host.findPlugin(loaded.plugin)->library;
    EXPECT_NE(dlsym(library, "getPlugin"), nullptr);
    EXPECT_EQ(dlsym(library, "deleteMe"), nullptr);
    EXPECT_NE(host.findPlugin(loaded.plugin)->descriptor.destroyFunction, nullptr);
    EXPECT_TRUE(host.unload(loaded.plugin));
    EXPECT_FALSE(libraryIsOpen(path));
    EXPECT_TRUE(host.faults.reports.empty());
}

// What the loader and the validator refuse in a record, each in its own words.
TEST(RecordProblems, TextsAndFunctionsInBothWordings)
{
    using host::RecordWording;
    const auto create = reinterpret_cast<BakkesMod::Plugin::CreateFunction>(1);
    const auto destroy = reinterpret_cast<BakkesMod::Plugin::DestroyFunction>(2);
    const BakkesMod::Plugin::PluginDescriptor good{95, "a.cpp", "A", "A", "1.0", 0, create, destroy};
    EXPECT_TRUE(host::recordProblems(good, RecordWording::Loader).empty());

    BakkesMod::Plugin::PluginDescriptor bad{94, nullptr, "A", "", "1.0", 0, nullptr, destroy};
    EXPECT_THAT(host::recordProblems(bad, RecordWording::Loader),
                ::testing::ElementsAre("\"exports\" has host API version 94, not 95", "\"exports\" sourceFile is null",
                                       "\"exports\" displayName is empty", "\"exports\" has no createFunction"));
    const host::ExportedEntries exported{nullptr, reinterpret_cast<const void*>(3)};
    EXPECT_THAT(host::recordProblems(bad, RecordWording::Validator, &exported),
                ::testing::ElementsAre("\"exports\" has hostApiVersion 94, the host needs 95",
                                       "\"exports\" sourceFile is null", "\"exports\" displayName is empty",
                                       "\"exports\" createFunction is null",
                                       "\"exports\" destroyFunction is not the exported deleteMe"));
}

TEST_F(Refusal, UnloadOfAnUnknownPlugin)
{
    EXPECT_FALSE(host.unload(1));
    EXPECT_FALSE(host.unload(0));
}

} // namespace
