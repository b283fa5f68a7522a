// The library's boundary: the record the host reads, the entry functions called as a host calls
// them, the base class's handles, and what onLoad registers.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/library.h"
#include "tests/support/volanko_fixture.h"

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
    // The version is the loader's to check, the names `arena --version`'s, the functions the validator's.
    EXPECT_NE(std::strstr(record->sourceFile, "Volanko"), nullptr);
    EXPECT_STREQ(record->pluginClass, "Volanko");
    EXPECT_EQ(record->kindFlags, 0u);
    unsigned char bytes[sizeof *record];
    std::memcpy(bytes, record, sizeof bytes);
    for (const size_t offset : {4u, 5u, 6u, 7u, 44u, 45u, 46u, 47u}) {
        EXPECT_EQ(bytes[offset], 0) << "byte " << offset;
    }
}

TEST_F(Module, OneHolderOneObjectAFreshOneAfterDeleteMeAndTheHandlesReleasedInOrder)
{
    // Every order of the two calls is the validator's lifecycle check, which Volanko passes.
    std::shared_ptr<BakkesModPlugin>* holder = getPlugin();
    ASSERT_TRUE(holder && *holder);
    const Volanko& fresh = static_cast<const Volanko&>(**holder);
    EXPECT_FALSE(fresh.active || fresh.airborne);

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
    // ... and the console holds what was registered, each value its default.
    const auto flag = [](bool on) { return on ? "true," : "false,"; };
    std::string held;
    for (const runtime::CVar& c : host.console().cvars) {
        held += "CVarManagerWrapper::registerCvar [\"" + c.name + "\",\"" + c.value + "\",\"" + c.description + "\"," +
                flag(c.searchable) + flag(c.hasMin) + runtime::formatNumber(c.min) + "," + flag(c.hasMax) +
                runtime::formatNumber(c.max) + "," + (c.save ? "true" : "false") + "]\n";
    }
    EXPECT_EQ(loadTrace.find(held + "GameWrapper::RegisterDrawable"), loadTrace.find('\n') + 1) << held;
}

} // namespace
