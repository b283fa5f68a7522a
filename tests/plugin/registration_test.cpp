// What onLoad registers with the host, with which arguments, and in which order.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fault_free_volanko.h"
#include "trace_reading.h"

namespace {

using Registration = FaultFreeVolanko;
using RegistrationOrder = TracedLoadVolanko;

TEST_F(Registration, RegistersFiveVariablesTwoCommandsOneHookOneDrawable)
{
    ASSERT_EQ(host.console.cvars.size(), 5u);
    EXPECT_EQ(host.console.notifiers.size(), 2u);
    EXPECT_EQ(host.hooks.size(), 1u);
    EXPECT_EQ(host.drawables.size(), 1u);
    EXPECT_EQ(host.faults.keptWrappers, 0u);
}

TEST_F(RegistrationOrder, OnLoadMakesTheseCallsAndNoOthers)
{
    // NOLINTBEGIN(bugprone-suspicious-missing-comma): the longer entries are split over two lines
    const std::vector<std::string> expected = {
        R"t(GameWrapper::HookEvent ["Function TAGame.Car_TA.EventHitBall"])t",
        R"t(CVarManagerWrapper::registerCvar ["volanko_balllocation_x","(-5000, 5000)",)t"
        R"t("Where should the ball spawn on the x axis?",true,true,-5000,true,5000,true])t",
        R"t(CVarManagerWrapper::registerCvar ["volanko_balllocation_y","(-4000, 4000)",)t"
        R"t("Where should the ball spawn on the y axis?",true,true,-4000,true,4000,true])t",
        R"t(CVarManagerWrapper::registerCvar ["volanko_balllocation_z","(100, 1900)",)t"
        R"t("How height should the ball spawn?",true,true,100,true,1900,true])t",
        R"t(CVarManagerWrapper::registerCvar ["volanko_throwplayer","1",)t"
        R"t("Throws the player through the air?",true,true,0,true,1,true])t",
        R"t(CVarManagerWrapper::registerCvar ["volanko_throwlevel","beginner",)t"
        R"t("How hard you get thrown around",false,false,0,false,0,true])t",
        R"t(GameWrapper::RegisterDrawable [])t",
        R"t(CVarManagerWrapper::registerNotifier ["volanko_start","Starts the volanko.",4])t",
        R"t(CVarManagerWrapper::registerNotifier ["volanko_stop","Stops the recovery plugin.",0])t",
    };
    // NOLINTEND(bugprone-suspicious-missing-comma)
    EXPECT_EQ(trace_reading::describeAll(host.trace), expected);
}

// One registered variable as the console should hold it.
struct CvarRow {
    const char* name;         // the console name
    const char* defaultValue; // as registered
    const char* description;  // as registered
    bool searchable;          // listed by the console's search
    bool hasMin;              // the minimum applies
    float min;                // 0 when it does not
    bool hasMax;              // the maximum applies
    float max;                // 0 when it does not
    const char* value;        // the value the console holds right after registration
};

TEST_F(Registration, VariablesAsTheConsoleHoldsThem)
{
    const CvarRow rows[] = {
        {"volanko_balllocation_x", "(-5000, 5000)", "Where should the ball spawn on the x axis?", true, true, -5000,
         true, 5000, "(-5000, 5000)"},
        {"volanko_balllocation_y", "(-4000, 4000)", "Where should the ball spawn on the y axis?", true, true, -4000,
         true, 4000, "(-4000, 4000)"},
        {"volanko_balllocation_z", "(100, 1900)", "How height should the ball spawn?", true, true, 100, true, 1900,
         "(100, 1900)"},
        {"volanko_throwplayer", "1", "Throws the player through the air?", true, true, 0, true, 1, "1"},
        {"volanko_throwlevel", "beginner", "How hard you get thrown around", false, false, 0, false, 0, "beginner"},
    };
    ASSERT_EQ(host.console.cvars.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const host::CVar& cvar = host.console.cvars[i];
        const CvarRow& row = rows[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(cvar.name, row.name);
        EXPECT_EQ(cvar.defaultValue, row.defaultValue);
        EXPECT_EQ(cvar.description, row.description);
        EXPECT_EQ(cvar.searchable, row.searchable);
        EXPECT_EQ(cvar.hasMin, row.hasMin);
        EXPECT_EQ(cvar.min, row.min);
        EXPECT_EQ(cvar.hasMax, row.hasMax);
        EXPECT_EQ(cvar.max, row.max);
        EXPECT_TRUE(cvar.save);
        EXPECT_EQ(cvar.value, row.value);
        EXPECT_EQ(cvar.owner, id);
    }
    EXPECT_FALSE(host.console.cvars[4].numeric) << "the throw level takes any text";
}

TEST_F(Registration, CommandsHookAndDrawableBelongToThePlugin)
{
    ASSERT_EQ(host.console.notifiers.size(), 2u);
    const host::Notifier& start = host.console.notifiers[0];
    EXPECT_EQ(start.name, "volanko_start");
    EXPECT_EQ(start.description, "Starts the volanko.");
    EXPECT_EQ(start.permissions, 4);
    EXPECT_EQ(start.owner, id);
    const host::Notifier& stop = host.console.notifiers[1];
    EXPECT_EQ(stop.name, "volanko_stop");
    EXPECT_EQ(stop.description, "Stops the recovery plugin.");
    EXPECT_EQ(stop.permissions, 0);
    EXPECT_EQ(stop.owner, id);

    ASSERT_EQ(host.hooks.size(), 1u);
    EXPECT_EQ(host.hooks[0].eventName, "Function TAGame.Car_TA.EventHitBall");
    EXPECT_EQ(host.hooks[0].owner, id);
    ASSERT_EQ(host.drawables.size(), 1u);
    EXPECT_EQ(host.drawables[0].owner, id);
}

// The registered callbacks reach this very object.
TEST_F(Registration, CallbacksAreBoundToTheLoadedObject)
{
    host.world.setFreeplay(true);
    command("volanko_start");
    EXPECT_TRUE(volanko().active);
    hit();
    EXPECT_EQ(volanko().currentStreak, 1);
    volanko().failedUntil = 100;
    host.drawFrame();
    EXPECT_EQ(host.canvas.draws().size(), 5u);
    command("volanko_stop");
    EXPECT_FALSE(volanko().active);
}

} // namespace
