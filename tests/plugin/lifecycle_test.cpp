// The entry functions on their own, called as a host calls them, and the base class's handles.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Volanko/Volanko.h"
#include "drill_state.h"
#include "opened_library.h"

namespace {

using BakkesMod::Plugin::BakkesModPlugin;

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(library.ready()) << dlerror(); }

    OpenedLibrary library;
};

TEST_F(Lifecycle, TwoGetPluginCallsGiveOneHolderAndOneObject)
{
    std::shared_ptr<BakkesModPlugin>* first = library.getPlugin();
    ASSERT_NE(first, nullptr);
    BakkesModPlugin* object = first->get();
    ASSERT_NE(object, nullptr);
    std::shared_ptr<BakkesModPlugin>* second = library.getPlugin();
    EXPECT_EQ(second, first);
    EXPECT_EQ(second->get(), object);
    EXPECT_EQ(first->use_count(), 1) << "the holder keeps the one reference";
}

TEST_F(Lifecycle, NewObjectIsAllZeroWithEmptyHandles)
{
    const Volanko& fresh = static_cast<const Volanko&>(**library.getPlugin());
    EXPECT_EQ(drillState(fresh), DrillState{});
    EXPECT_FALSE(fresh.cvarManagerHandle);
    EXPECT_FALSE(fresh.gameWrapperHandle);
}

TEST_F(Lifecycle, DeleteMeBeforeGetPluginAndTwiceDoesNothing)
{
    library.deleteMe();
    library.deleteMe();
    std::shared_ptr<BakkesModPlugin>* holder = library.getPlugin();
    ASSERT_TRUE(*holder);
    library.deleteMe();
    EXPECT_FALSE(*holder) << "deleteMe empties the holder";
    library.deleteMe();
    EXPECT_FALSE(*holder);
}

TEST_F(Lifecycle, AfterDeleteMeGetPluginMakesAFreshObject)
{
    std::shared_ptr<BakkesModPlugin>* holder = library.getPlugin();
    Volanko& first = static_cast<Volanko&>(**holder);
    first.active = true;
    fillDrillState(first);
    // A host may still hold a copy: the object lives on with it.
    std::shared_ptr<BakkesModPlugin> hostCopy = *holder;
    library.deleteMe();
    EXPECT_FALSE(*holder);
    ASSERT_EQ(hostCopy.use_count(), 1);
    EXPECT_EQ(static_cast<Volanko&>(*hostCopy).bestStreak, 7);

    std::shared_ptr<BakkesModPlugin>* again = library.getPlugin();
    EXPECT_EQ(again, holder) << "one holder for the library's life";
    ASSERT_TRUE(*again);
    EXPECT_NE(again->get(), hostCopy.get());
    EXPECT_EQ(drillState(static_cast<const Volanko&>(**again)), DrillState{});
    hostCopy.reset();
}

// Handles that write their name into `order` when they are released.
template <class Wrapper> std::shared_ptr<Wrapper> recordingHandle(std::vector<std::string>& order, std::string name)
{
    return std::shared_ptr<Wrapper>(new Wrapper(), [&order, name = std::move(name)](Wrapper* wrapper) {
        order.push_back(name);
        delete wrapper;
    });
}

TEST_F(Lifecycle, DestroyingThePluginReleasesTheGameHandleFirst)
{
    std::vector<std::string> order;
    std::shared_ptr<BakkesModPlugin>* holder = library.getPlugin();
    (*holder)->cvarManagerHandle = recordingHandle<CVarManagerWrapper>(order, "cvarManager");
    (*holder)->gameWrapperHandle = recordingHandle<GameWrapper>(order, "gameWrapper");
    library.deleteMe();
    EXPECT_EQ(order, (std::vector<std::string>{"gameWrapper", "cvarManager"}));
}

// The base class as the SDK defines it, on an object of a class made here.
class Plain : public BakkesModPlugin {};

TEST(PluginBase, CopyAddsAReferenceToEachHandle)
{
    Plain source;
    source.cvarManagerHandle = std::make_shared<CVarManagerWrapper>();
    source.gameWrapperHandle = std::make_shared<GameWrapper>();
    Plain copy(source);
    EXPECT_EQ(copy.cvarManagerHandle, source.cvarManagerHandle);
    EXPECT_EQ(copy.gameWrapperHandle, source.gameWrapperHandle);
    EXPECT_EQ(source.cvarManagerHandle.use_count(), 2);
    EXPECT_EQ(source.gameWrapperHandle.use_count(), 2);

    Plain assigned;
    assigned = source;
    EXPECT_EQ(assigned.gameWrapperHandle, source.gameWrapperHandle);
    EXPECT_EQ(source.cvarManagerHandle.use_count(), 3);
    EXPECT_EQ(source.gameWrapperHandle.use_count(), 3);
}

TEST(PluginBase, MoveTakesBothHandlesAndEmptiesTheSource)
{
    Plain source;
    source.cvarManagerHandle = std::make_shared<CVarManagerWrapper>();
    source.gameWrapperHandle = std::make_shared<GameWrapper>();
    CVarManagerWrapper* cvars = source.cvarManagerHandle.get();
    GameWrapper* game = source.gameWrapperHandle.get();

    Plain moved(std::move(source));
    EXPECT_FALSE(source.cvarManagerHandle); // NOLINT(bugprone-use-after-move): the emptied source is the point
    EXPECT_FALSE(source.gameWrapperHandle); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(moved.cvarManagerHandle.get(), cvars);
    EXPECT_EQ(moved.gameWrapperHandle.get(), game);
    EXPECT_EQ(moved.cvarManagerHandle.use_count(), 1);

    Plain assigned;
    assigned = std::move(moved);
    EXPECT_FALSE(moved.cvarManagerHandle); // NOLINT(bugprone-use-after-move)
    EXPECT_FALSE(moved.gameWrapperHandle); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(assigned.cvarManagerHandle.get(), cvars);
    EXPECT_EQ(assigned.gameWrapperHandle.get(), game);
    EXPECT_EQ(assigned.gameWrapperHandle.use_count(), 1);
}

TEST(PluginBase, DestructorReleasesTheGameHandleFirst)
{
    std::vector<std::string> order;
    {
        Plain plugin;
        plugin.cvarManagerHandle = recordingHandle<CVarManagerWrapper>(order, "cvarManager");
        plugin.gameWrapperHandle = recordingHandle<GameWrapper>(order, "gameWrapper");
    }
    EXPECT_EQ(order, (std::vector<std::string>{"gameWrapper", "cvarManager"}));
}

TEST(PluginBase, OnLoadAndOnUnloadDoNothing)
{
    Plain plugin;
    BakkesModPlugin& base = plugin;
    base.onLoad();
    base.onUnload();
    EXPECT_FALSE(plugin.cvarManagerHandle);
    EXPECT_FALSE(plugin.gameWrapperHandle);
}

} // namespace
