// The library's boundary: the record the host reads, the entry functions called as a host calls
// them, the base class's handles, and what onLoad registers.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "library.h"
#include "volanko_fixture.h"

namespace {

using BakkesMod::Plugin::BakkesModPlugin;
// The plug-in library opened straight through the system, without the host.
class Module : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string reason;
        library = platform::openLibrary(VOLANKO_PLUGIN_PATH, reason);
        ASSERT_NE(library, nullptr) << reason;
        getPlugin = reinterpret_cast<BakkesMod::Plugin::CreateFunction>(platform::findSymbol(library, "getPlugin"));
        deleteMe = reinterpret_cast<BakkesMod::Plugin::DestroyFunction>(platform::findSymbol(library, "deleteMe"));
        record = static_cast<const BakkesMod::Plugin::PluginDescriptor*>(platform::findSymbol(library, "exports"));
        ASSERT_TRUE(getPlugin && deleteMe && record);
    }
    void TearDown() override
    {
        if (library && deleteMe) {
            deleteMe();
        }
        if (library) {
            platform::closeLibrary(library);
        }
    }

    platform::Library library = nullptr;
    BakkesMod::Plugin::CreateFunction getPlugin = nullptr;
    BakkesMod::Plugin::DestroyFunction deleteMe = nullptr;
    const BakkesMod::Plugin::PluginDescriptor* record = nullptr;
};

TEST_F(Module, RecordFieldsAndZeroGaps)
{
    EXPECT_EQ(record->hostApiVersion, 95);
    EXPECT_NE(std::strstr(record->sourceFile, "Volanko"), nullptr);
    EXPECT_STREQ(record->pluginClass, "Volanko");
    EXPECT_STREQ(record->displayName, "Volanko");
    EXPECT_STREQ(record->versionText, "1.0");
    EXPECT_EQ(record->kindFlags, 0u);
    EXPECT_EQ(record->createFunction, getPlugin);
    EXPECT_EQ(record->destroyFunction, deleteMe);
    unsigned char bytes[sizeof *record];
    std::memcpy(bytes, record, sizeof bytes);
    for (const size_t offset : {4u, 5u, 6u, 7u, 44u, 45u, 46u, 47u}) {
        EXPECT_EQ(bytes[offset], 0) << "byte " << offset;
    }
}

TEST_F(Module, OneHolderOneObjectAFreshOneAfterDeleteMeAndTheHandlesReleasedInOrder)
{
    deleteMe(); // before any getPlugin: nothing to do
    std::shared_ptr<BakkesModPlugin>* holder = getPlugin();
    ASSERT_TRUE(holder && *holder);
    BakkesModPlugin* object = holder->get();
    EXPECT_EQ(getPlugin(), holder);
    EXPECT_EQ(holder->get(), object);
    EXPECT_EQ(holder->use_count(), 1);
    const Volanko& fresh = static_cast<const Volanko&>(*object);
    EXPECT_FALSE(fresh.active || fresh.airborne || fresh.cvarManagerHandle || fresh.gameWrapperHandle);

    static_cast<Volanko&>(**holder).bestStreak = 7;
    std::shared_ptr<BakkesModPlugin> hostCopy = *holder; // the object lives on with a host's copy
    deleteMe();
    EXPECT_FALSE(*holder);
    deleteMe();
    ASSERT_EQ(hostCopy.use_count(), 1);
    EXPECT_EQ(static_cast<Volanko&>(*hostCopy).bestStreak, 7);
    EXPECT_EQ(getPlugin(), holder) << "one holder for the library's life";
    EXPECT_NE(holder->get(), hostCopy.get());
    EXPECT_EQ(static_cast<Volanko&>(**holder).bestStreak, 0);

    // Destroying it releases the game handle first.
    std::string order;
    BakkesModPlugin& plugin = **holder;
    plugin.cvarManagerHandle.reset(new CVarManagerWrapper(), [&order](CVarManagerWrapper* cvars) {
        order += "cvars ";
        delete cvars;
    });
    plugin.gameWrapperHandle.reset(new GameWrapper(), [&order](GameWrapper* game) {
        order += "game ";
        delete game;
    });
    deleteMe();
    EXPECT_EQ(order, "game cvars ");
}

// The base class as the SDK defines it, on an object of a class made here.
class Plain : public BakkesModPlugin {};

TEST(PluginBase, CopyAddsAReferenceMoveTakesBothHandles)
{
    Plain source;
    source.cvarManagerHandle = std::make_shared<CVarManagerWrapper>();
    source.gameWrapperHandle = std::make_shared<GameWrapper>();
    Plain copy(source);
    Plain assigned;
    assigned = copy;
    Plain moved(std::move(copy));
    Plain moveAssigned;
    moveAssigned = std::move(assigned);
    // NOLINTNEXTLINE(bugprone-use-after-move): the emptied sources are the point
    EXPECT_FALSE(copy.cvarManagerHandle || copy.gameWrapperHandle || assigned.cvarManagerHandle ||
                 assigned.gameWrapperHandle);
    EXPECT_TRUE(moved.cvarManagerHandle == source.cvarManagerHandle &&
                moveAssigned.gameWrapperHandle == source.gameWrapperHandle);
    EXPECT_EQ(source.cvarManagerHandle.use_count() + source.gameWrapperHandle.use_count(), 6);
}

using Registration = VolankoTest;

TEST_F(Registration, OnLoadMakesTheseCallsAndNoOthers)
{
    EXPECT_EQ(loadTrace, "GameWrapper::HookEvent [\"Function TAGame.Car_TA.EventHitBall\"]\n"
                         "CVarManagerWrapper::registerCvar [\"volanko_balllocation_x\",\"(-5000, 5000)\","
                         "\"Where should the ball spawn on the x axis?\",true,true,-5000,true,5000,true]\n"
                         "CVarManagerWrapper::registerCvar [\"volanko_balllocation_y\",\"(-4000, 4000)\","
                         "\"Where should the ball spawn on the y axis?\",true,true,-4000,true,4000,true]\n"
                         "CVarManagerWrapper::registerCvar [\"volanko_balllocation_z\",\"(100, 1900)\","
                         "\"How height should the ball spawn?\",true,true,100,true,1900,true]\n"
                         "CVarManagerWrapper::registerCvar [\"volanko_throwplayer\",\"1\","
                         "\"Throws the player through the air?\",true,true,0,true,1,true]\n"
                         "CVarManagerWrapper::registerCvar [\"volanko_throwlevel\",\"beginner\","
                         "\"How hard you get thrown around\",false,false,0,false,0,true]\n"
                         "GameWrapper::RegisterDrawable []\n"
                         "CVarManagerWrapper::registerNotifier [\"volanko_start\",\"Starts the volanko.\",4]\n"
                         "CVarManagerWrapper::registerNotifier [\"volanko_stop\",\"Stops the recovery plugin.\",0]\n");
    // ... and as the console holds them: description, searchable, limits, saved, and the value.
    std::string held;
    for (const host::CVar& c : host.console.cvars) {
        held += c.name + " | " + c.description + " | " + std::to_string(c.searchable) + " | " +
                std::to_string(c.hasMin) + ":" + host::formatNumber(c.min) + " | " + std::to_string(c.hasMax) + ":" +
                host::formatNumber(c.max) + " | " + std::to_string(c.save) + " | " + c.value + "\n";
    }
    EXPECT_EQ(held,
              "volanko_balllocation_x | Where should the ball spawn on the x axis? | 1 | 1:-5000 | 1:5000 | 1 | "
              "(-5000, 5000)\n"
              "volanko_balllocation_y | Where should the ball spawn on the y axis? | 1 | 1:-4000 | 1:4000 | 1 | "
              "(-4000, 4000)\n"
              "volanko_balllocation_z | How height should the ball spawn? | 1 | 1:100 | 1:1900 | 1 | (100, 1900)\n"
              "volanko_throwplayer | Throws the player through the air? | 1 | 1:0 | 1:1 | 1 | 1\n"
              "volanko_throwlevel | How hard you get thrown around | 0 | 0:0 | 0:0 | 1 | beginner\n");
}

} // namespace
