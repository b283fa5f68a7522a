// Console lines against the built plug-in: what they print, what they refuse, what they change.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arena/common/load_refusal.h"
#include "arena/console/session.h"
#include "arena/play/drill_profile.h"
#include "runtime/host.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const runtime::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
        ASSERT_TRUE(loaded) << arena::loadRefusal(loaded);
        session = std::make_unique<arena::Session>(
            host, loaded.plugin,
            arena::SessionSettings{VOLANKO_PLUGIN_PATH,
                                   120,
                                   1,
                                   0.6,
                                   {},
                                   std::string(arena::kDrill.levelVariable),
                                   {arena::kDrill.levels.begin(), arena::kDrill.levels.end()},
                                   [](std::string_view value) { return arena::levelHint(arena::kDrill, value); }});
        session->print = [this](std::string_view line) { printed.emplace_back(line); };
    }

    // Runs lines that must all succeed.
    void run(std::initializer_list<std::string_view> lines)
    {
        for (const std::string_view line : lines) {
            std::string error;
            ASSERT_TRUE(session->runLine(line, error)) << line << ": " << error;
        }
    }

    runtime::Host host{1};
    std::unique_ptr<arena::Session> session;
    std::vector<std::string> printed;
};

TEST_F(SessionTest, VariablesPrintSetAndOutliveAReloadAndTraceLinesAreJson)
{
    run({"", "  # note", "// note", "volanko_throwlevel", "volanko_throwlevel \"pro\"", "volanko_throwlevel",
         "volanko_balllocation_z 99999 # clamped to the maximum", "volanko_balllocation_z", "volanko_start"});
    EXPECT_EQ(printed, (std::vector<std::string>{"volanko_throwlevel = \"beginner\"", "volanko_throwlevel = \"pro\"",
                                                 "volanko_balllocation_z = \"1900\"",
                                                 "You need to be in freeplay to use this plugin."}));
    printed.clear();
    run({"arena_freeplay 1", "arena_trace 1", "volanko_stop", "arena_hit", "arena_trace 0", "arena_hit"});
    EXPECT_EQ(printed,
              std::vector<std::string>{"{\"call\":\"GameWrapper::IsInFreeplay\",\"args\":[],\"result\":true}"});
    EXPECT_TRUE(host.trace().entries().empty());

    run({"volanko_start", "arena_reload", "volanko_throwlevel"});
    EXPECT_EQ(printed.back(), "volanko_throwlevel = \"pro\"");
    EXPECT_NE(session->plugin(), 0u);
}

TEST_F(SessionTest, RefusalsGiveTheirMessageAndChangeNothing)
{
    const std::pair<const char*, const char*> cases[] = {
        {"volanko_balllocation_x abc", "volanko_balllocation_x: \"abc\" is neither a finite number nor a range "
                                       "\"(low, high)\"; the value stays \"(-5000, 5000)\""},
        {"volanko_balllocation_x 1 2", "volanko_balllocation_x takes one value; quote a value with blanks in it"},
        {"say \"a\" \"open", "unterminated quote (opened at column 9)"}, // the quote left open
        {"arena_freeplay 2", "usage: arena_freeplay 0|1"},
        {"arena_frames -1", "usage: arena_frames N (0 to 10000000)"},
        {"arena_frames 10000001", "usage: arena_frames N (0 to 10000000)"},
        {"arena_time nan", "usage: arena_time SECONDS (a finite number of game seconds, at most 1e9 either way)"},
        {"arena_set tree location 1 2 3",
         "usage: arena_set car|ball location|velocity|angularVelocity X Y Z, arena_set car|ball rotation P Y R, "
         "arena_set car contact ground|wall|air"},
        {"arena_set car location 1 2", "usage: arena_set car|ball location X Y Z"},
        {"arena_set car rotation 1 2", "usage: arena_set car|ball rotation P Y R"},
        {"arena_set car location 1 2 inf", "\"inf\" is not a finite number"},
        {"arena_set car location 1 2 1e39", "\"1e39\" is out of range (the limit is \u00B13.4e38)"},
        {"arena_set car location 1e300 0 0", "\"1e300\" is out of range (the limit is \u00B13.4e38)"},
        {"arena_set ball velocity 0 -1e400 0", "\"-1e400\" is out of range (the limit is \u00B13.4e38)"},
        {"arena_set car location 3.4028234e38 1e-400 0", "there is no car"}, // the largest float; a tiny one is 0
        {"arena_set ball contact air", "usage: arena_set car contact ground|wall|air"},
        {"arena_set car location 1 2 3", "there is no car"},
        {"arena_spawn car", "not in free play: there is no game event to put a car in"},
        {"arena_remove ball", "there is no ball to remove"},
        {"arena_spawn tree", "usage: arena_spawn car|ball|camera"},
        {"arena_canvas 1920", "usage: arena_canvas W H (pixels, 0 to 100000)"},
        {"arena_dump now", "usage: arena_dump"},
        {"arena_freeplay 1", nullptr},
        {"arena_spawn camera", "there is already a camera"},
        {"arena_set car rotation 1 2 2147483648",
         "rotation component \"2147483648\" is out of range: whole numbers from -2147483648 to 2147483647"},
        {"arena_set car rotation 99999999999999999999 0 0",
         "rotation component \"99999999999999999999\" is out of range: whole numbers from -2147483648 to 2147483647"},
        {"arena_set car rotation 1e3 0 0", "rotation components are whole numbers (65536 to the turn): \"1e3\""},
    };
    for (const auto& [line, message] : cases) {
        std::string error;
        if (!message) {
            run({line});
            continue;
        }
        EXPECT_FALSE(session->runLine(line, error)) << line;
        EXPECT_EQ(error, message) << line;
    }
    EXPECT_EQ(host.console().find("volanko_balllocation_x")->value, "(-5000, 5000)");
    EXPECT_TRUE(printed.empty()) << printed.front();
}

TEST_F(SessionTest, DumpOfAFreshFreePlayAndAfterEdits)
{
    run({"arena_pause 1", "arena_time 2.5", "arena_dump"});
    EXPECT_THAT(printed[0], StartsWith("{\"time\":2.5,\"freeplay\":false,\"paused\":true,\"ball\":null,\"car\":null,"
                                       "\"camera\":false,"));
    run({"arena_pause 0", "arena_freeplay 1", "arena_canvas 1280 720", "arena_dump"});
    EXPECT_EQ(printed[1],
              R"j({"time":0,"freeplay":true,"paused":false,"ball":{"location":[0,0,93.15],"velocity":[0,0,0],)j"
              R"j("rotation":[0,0,0],"angularVelocity":[0,0,0]},"car":{"location":[0,-4608,17.01],"velocity":[0,0,0],)j"
              R"j("rotation":[0,16384,0],"angularVelocity":[0,0,0],"contact":"ground"},"camera":true,)j"
              R"j("canvas":{"size":[1280,720],"draws":[]},"log":[],"cvars":{"volanko_balllocation_x":"(-5000, 5000)",)j"
              R"j("volanko_balllocation_y":"(-4000, 4000)","volanko_balllocation_z":"(100, 1900)",)j"
              R"j("volanko_throwplayer":"1","volanko_throwlevel":"beginner"},"keptWrappers":0,"nullCalls":0})j");
    run({"arena_set ball location 1.5 -2 300.125", "arena_set ball rotation -1 2 65536", "arena_set car contact wall",
         "arena_set car velocity 0 0 -7", "arena_set car angularVelocity 0.1 0 -0.1", "arena_dump"});
    EXPECT_THAT(printed[2], HasSubstr("\"ball\":{\"location\":[1.5,-2,300.125],\"velocity\":[0,0,0],"
                                      "\"rotation\":[-1,2,65536],"));
    EXPECT_THAT(printed[2], HasSubstr("\"velocity\":[0,0,-7],\"rotation\":[0,16384,0],\"angularVelocity\":[0.1,0,-0.1],"
                                      "\"contact\":\"wall\"}"));
}

TEST_F(SessionTest, LongWordsAreCutInMessagesWithTheirLength)
{
    const std::string huge(10485760, 'a');
    const std::string shown = "\"" + std::string(40, 'a') + "\u2026\" (10485760 bytes)";
    std::string accents = "x";
    for (int i = 0; i < 100; ++i) {
        accents += "\xC3\xA9";
    }
    std::string cutAccents = "\"x";
    for (int i = 0; i < 19; ++i) { // 39 bytes: the 40th is the first half of a character
        cutAccents += "\xC3\xA9";
    }
    cutAccents += "\u2026\" (201 bytes)";
    const std::pair<std::string, std::string> cases[] = {
        {huge, "unknown command " + shown},
        {"arena_" + huge, "unknown command \"arena_" + std::string(34, 'a') + "\u2026\" (10485766 bytes)"},
        {accents, "unknown command " + cutAccents},
        {std::string(64, 'b'), "unknown command \"" + std::string(64, 'b') + "\""}, // the longest shown whole
        {std::string(65, 'b'), "unknown command \"" + std::string(40, 'b') + "\u2026\" (65 bytes)"},
        {std::string(65, '\x80'), "unknown command \"\u2026\" (65 bytes)"}, // no character starts in it
        {"volanko_balllocation_x " + huge, "volanko_balllocation_x: " + shown +
                                               " is neither a finite number nor a range \"(low, high)\"; the value "
                                               "stays \"(-5000, 5000)\""},
        {"arena_set car location 0 " + huge + " 0", shown + " is not a finite number"},
        {"arena_set car location 0 0 1" + std::string(99, '0'),
         "\"1" + std::string(39, '0') + "\u2026\" (100 bytes) is out of range (the limit is \u00B13.4e38)"},
        {"arena_set ball rotation 0 " + huge + " 0",
         "rotation components are whole numbers (65536 to the turn): " + shown},
    };
    for (const auto& [line, message] : cases) {
        std::string error;
        EXPECT_FALSE(session->runLine(line, error)) << line.substr(0, 80);
        EXPECT_EQ(error, message) << line.substr(0, 80);
    }
    std::vector<std::string> warned;
    session->warn = [&warned](std::string_view line) { warned.emplace_back(line); };
    run({"volanko_throwlevel " + huge});
    EXPECT_EQ(warned, std::vector<std::string>{"note: volanko_throwlevel " + shown +
                                               " is none of the levels beginner, easy, normal, hard, pro; the car "
                                               "will not be thrown"});
}

TEST_F(SessionTest, AFreePlayHoldsAtMost64CarsAnd64Balls)
{
    run({"arena_freeplay 1"}); // one of each
    for (int i = 1; i < 64; ++i) {
        run({"arena_spawn car", "arena_spawn ball"});
    }
    for (const auto& [line, message] :
         {std::pair{"arena_spawn car", "there are 64 cars already, the most the arena holds"},
          {"arena_spawn ball", "there are 64 balls already, the most the arena holds"}}) {
        std::string error;
        EXPECT_FALSE(session->runLine(line, error)) << line;
        EXPECT_EQ(error, message);
    }
    EXPECT_EQ(host.world().cars.size(), 64u);
    EXPECT_EQ(host.world().balls.size(), 64u);
    run({"arena_remove ball", "arena_spawn ball", "arena_frames 12"});
    EXPECT_EQ(host.world().balls.size(), 64u);
}

// The controller from the console: held for its ticks in place of the autopilot, checked word by
// word, then the car is handed back.
TEST_F(SessionTest, ControlsHoldForTheirTicksAndAreChecked)
{
    run({"arena_freeplay 1", "arena_set car location 0 0 1000", "arena_set car contact air",
         "arena_set car rotation 0 0 0", "arena_controls 60 boost throttle 1 pitch 0", "arena_frames 120"});
    const runtime::Actor& car = *host.world().car();
    // Half a second of air boost along +x, then half a second of nothing.
    EXPECT_NEAR(car.velocity.x, 1058.333 / 2, 0.5);
    EXPECT_NEAR(car.velocity.z, -650, 0.5);

    const std::pair<const char*, const char*> refusals[] = {
        {"arena_controls 5 pitch 2", "arena_controls: pitch takes a number from -1 to 1, not \"2\""},
        {"arena_controls 5 roll nan", "arena_controls: roll takes a number from -1 to 1, not \"nan\""},
        {"arena_controls 5 yaw", "arena_controls: yaw takes a number from -1 to 1"},
        {"arena_controls 5 nitro", "arena_controls: \"nitro\" is not a control (throttle, steer, pitch, yaw, roll, "
                                   "jump, boost, handbrake)"},
        {"arena_controls 432001", "usage: arena_controls TICKS (0 to 432000) [throttle|steer|pitch|yaw|roll X (-1 to "
                                  "1)]... [jump] [boost] [handbrake]"},
        {"arena_controls -1", "usage: arena_controls TICKS (0 to 432000) [throttle|steer|pitch|yaw|roll X (-1 to "
                              "1)]... [jump] [boost] [handbrake]"},
    };
    for (const auto& [line, message] : refusals) {
        std::string error;
        EXPECT_FALSE(session->runLine(line, error)) << line;
        EXPECT_EQ(error, message) << line;
    }
    // A refused line changes nothing; 0 ticks hands the car back at once.
    run({"arena_set car velocity 0 0 0", "arena_controls 432000 boost", "arena_controls 0", "arena_frames 1"});
    EXPECT_NEAR(car.velocity.x, 0, 1e-3);
}

} // namespace
