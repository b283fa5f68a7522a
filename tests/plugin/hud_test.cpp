// The overlay: where each line stands, its colour, scale and text, and when the banner shows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <locale>
#include <string>
#include <vector>

#include "fault_free_volanko.h"
#include "trace_reading.h"

namespace {

using trace_reading::describeAll;

class Hud : public FaultFreeVolanko {
protected:
    void SetUp() override
    {
        FaultFreeVolanko::SetUp();
        startDrill();
    }

    void frameAt(double clock)
    {
        host.world.clock = clock;
        host.drawFrame();
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> lines;
        for (const host::CanvasDraw& draw : host.canvas.draws()) {
            lines.push_back(draw.text);
        }
        return lines;
    }

    // The text of the line that starts with `label`, or "" when none was drawn.
    std::string line(const std::string& label) const
    {
        for (const host::CanvasDraw& draw : host.canvas.draws()) {
            if (draw.text.starts_with(label)) {
                return draw.text;
            }
        }
        return "";
    }
};

// Where each text stands on a canvas of one size, in pixels.
struct Layout {
    Vector2 size;          // the canvas
    Vector2 currentTime;   // "Current Time: "
    Vector2 currentStreak; // "Current Streak: "
    Vector2 bestStreak;    // "Best Streak: "
    Vector2 averageTime;   // "Average Time: "
    Vector2 banner;        // "Failed!"
};

class HudLayout : public Hud, public ::testing::WithParamInterface<Layout> {};

void expectAt(const host::CanvasDraw& draw, Vector2 at)
{
    EXPECT_EQ(draw.position.x, at.x) << draw.text;
    EXPECT_EQ(draw.position.y, at.y) << draw.text;
}

TEST_P(HudLayout, LinesAndBannerStandWhereTheySay)
{
    const Layout& layout = GetParam();
    host.canvas.size = layout.size;
    volanko().failedUntil = 100;
    frameAt(1);
    const auto draws = host.canvas.draws();
    ASSERT_EQ(draws.size(), 5u);
    EXPECT_THAT(draws[0].text, ::testing::StartsWith("Current Time: "));
    expectAt(draws[0], layout.currentTime);
    EXPECT_THAT(draws[1].text, ::testing::StartsWith("Current Streak: "));
    expectAt(draws[1], layout.currentStreak);
    EXPECT_THAT(draws[2].text, ::testing::StartsWith("Best Streak: "));
    expectAt(draws[2], layout.bestStreak);
    EXPECT_THAT(draws[3].text, ::testing::StartsWith("Average Time: "));
    expectAt(draws[3], layout.averageTime);
    EXPECT_EQ(draws[4].text, "Failed!");
    expectAt(draws[4], layout.banner);
}

INSTANTIATE_TEST_SUITE_P(
    CanvasSizes, HudLayout,
    ::testing::Values(
        Layout{{1920, 1080}, {860, 1050}, {1060, 1020}, {1060, 1050}, {860, 1020}, {840, 490}},
        Layout{{1280, 720}, {540, 690}, {740, 660}, {740, 690}, {540, 660}, {520, 310}},
        Layout{{1921, 1081}, {860, 1051}, {1060, 1021}, {1060, 1051}, {860, 1021}, {840, 490}},
        // Halves truncate toward zero, also for a size no real canvas has.
        Layout{{-1921, -1081}, {-1060, -1111}, {-860, -1141}, {-860, -1111}, {-1060, -1141}, {-1080, -590}}));

TEST_F(Hud, ColoursAndScales)
{
    volanko().failedUntil = 100;
    frameAt(1);
    const auto ops = host.canvas.ops();
    ASSERT_EQ(ops.size(), 1u + 4 * 2 + 3);
    EXPECT_EQ(ops[0].kind, host::CanvasOpKind::SetColor);
    for (size_t i = 1; i < 9; i += 2) {
        EXPECT_EQ(ops[i].kind, host::CanvasOpKind::SetPosition) << i;
        EXPECT_EQ(ops[i + 1].kind, host::CanvasOpKind::DrawString) << i;
    }
    EXPECT_EQ(ops[9].kind, host::CanvasOpKind::SetColor);
    EXPECT_EQ(ops[10].kind, host::CanvasOpKind::SetPosition);
    EXPECT_EQ(ops[11].kind, host::CanvasOpKind::DrawString);

    const auto draws = host.canvas.draws();
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(draws[i].color.r, 255);
        EXPECT_EQ(draws[i].color.g, 255);
        EXPECT_EQ(draws[i].color.b, 255);
        EXPECT_EQ(draws[i].color.a, 255);
        EXPECT_EQ(draws[i].xScale, 1);
        EXPECT_EQ(draws[i].yScale, 1);
    }
    EXPECT_EQ(draws[4].color.r, 255);
    EXPECT_EQ(draws[4].color.g, 0);
    EXPECT_EQ(draws[4].color.b, 0);
    EXPECT_EQ(draws[4].color.a, 255);
    EXPECT_EQ(draws[4].xScale, 5);
    EXPECT_EQ(draws[4].yScale, 5);

    // The next frame starts with the text colour again.
    volanko().failedUntil = 0;
    frameAt(2);
    ASSERT_EQ(host.canvas.draws().size(), 4u);
    EXPECT_EQ(host.canvas.draws()[0].color.g, 255);
}

TEST_F(Hud, WholeFrameTrace)
{
    host.trace.on = true;
    volanko().failedUntil = 3;
    volanko().lastResetTime = 0.5f;
    host.world.clock = 2;
    host.drawFrame();
    const std::vector<std::string> expected = {
        "GameWrapper::IsInFreeplay []",
        // the frame step: ball held, car watched
        "GameWrapper::IsInFreeplay []",
        "GameWrapper::GetGameEventAsServer []",
        "ServerWrapper::GetGameBalls server []",
        "ArrayWrapper::Count balls []",
        "ServerWrapper::GetGameBalls server []",
        "ArrayWrapper::Get balls [0]",
        "ActorWrapper::IsNull ball []",
        "ActorWrapper::SetVelocity ball [[0,0,0]]",
        "ActorWrapper::SetLocation ball [[0,0,100]]",
        "GameWrapper::GetGameEventAsServer []",
        "GameEventWrapper::GetCars server []",
        "ArrayWrapper::Get cars [0]",
        "ActorWrapper::IsNull car []",
        "VehicleWrapper::IsOnGround car []",
        // the drawing preconditions
        "GameWrapper::GetCamera []",
        "ActorWrapper::IsNull camera []",
        "GameWrapper::GetGameEventAsServer []",
        "ActorWrapper::IsNull server []",
        "ServerWrapper::GetBall server []",
        "ActorWrapper::IsNull ball []",
        "GameWrapper::GetLocalCar []",
        "ActorWrapper::IsNull car []",
        // the overlay
        "CanvasWrapper::GetSize canvas []",
        "CanvasWrapper::SetColor canvas [[255,255,255,255]]",
        "CanvasWrapper::SetPosition canvas [[860,1050]]",
        "ServerWrapper::GetSecondsElapsed server []",
        R"(CanvasWrapper::DrawString canvas ["Current Time: 1.500000"])",
        "CanvasWrapper::SetPosition canvas [[1060,1020]]",
        R"(CanvasWrapper::DrawString canvas ["Current Streak: 0"])",
        "CanvasWrapper::SetPosition canvas [[1060,1050]]",
        R"(CanvasWrapper::DrawString canvas ["Best Streak: 0"])",
        "CanvasWrapper::SetPosition canvas [[860,1020]]",
        R"(CanvasWrapper::DrawString canvas ["Average Time: 0.000000"])",
        "ServerWrapper::GetSecondsElapsed server []",
        "CanvasWrapper::SetColor canvas [[255,0,0,255]]",
        "CanvasWrapper::SetPosition canvas [[840,490]]",
        R"(CanvasWrapper::DrawString canvas ["Failed!",5,5])",
    };
    EXPECT_EQ(describeAll(host.trace), expected);
}

TEST_F(Hud, BannerShowsOnlyWhileItsTimeLiesAhead)
{
    volanko().failedUntil = 5.0f;
    frameAt(5.0);
    EXPECT_EQ(host.canvas.draws().size(), 4u) << "not at the very time";
    frameAt(std::nextafter(5.0f, 0.0f));
    EXPECT_EQ(host.canvas.draws().size(), 5u) << "just before it";
    frameAt(6.0);
    EXPECT_EQ(host.canvas.draws().size(), 4u);
}

TEST_F(Hud, FreshObjectShowsZerosAndTheWholeElapsedTime)
{
    frameAt(12.25);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Current Time: 12.250000", "Current Streak: 0", "Best Streak: 0",
                                                 "Average Time: 0.000000"}));
}

TEST_F(Hud, TimeTexts)
{
    volanko().averageTime = 1234.567f;
    volanko().lastResetTime = 10;
    frameAt(13.5);
    EXPECT_EQ(line("Average Time: "), "Average Time: 1234.567017");
    EXPECT_EQ(line("Current Time: "), "Current Time: 3.500000");

    frameAt(7);
    EXPECT_EQ(line("Current Time: "), "Current Time: -3.000000") << "a clock behind the last reset";
}

TEST_F(Hud, CurrentTimeIsASinglePrecisionDifference)
{
    // 2^24 + 1 seconds reads as 2^24 in a float: the difference is 1, not the 2 a double gives.
    volanko().lastResetTime = 16777215.0f;
    frameAt(16777217.0);
    EXPECT_EQ(line("Current Time: "), "Current Time: 1.000000");
}

TEST_F(Hud, FixedFormIsPrintfsPercentF)
{
    const float values[] = {0.0f, -0.0f, 0.1f, 3.5f, -2.75f, 1234.567f, 0.0000005f, 0.0000015f, 2.5e-6f, 1e-40f,
                            123456789.0f, 16777217.0f,
                            // Exact halves of a millionth: printf rounds them to even.
                            0.0078125f, 0.0234375f, -0.0078125f, 1.0078125f,
                            -1e-7f, // rounds to a negative zero: "-0.000000"
                            9.0e9f, 1.0e10f, std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()};
    for (const float value : values) {
        volanko().averageTime = value;
        frameAt(1);
        char printed[96];
        std::snprintf(printed, sizeof printed, "%f", static_cast<double>(value));
        EXPECT_EQ(line("Average Time: "), std::string("Average Time: ") + printed) << value;
    }
}

TEST_F(Hud, StreakTexts)
{
    volanko().currentStreak = std::numeric_limits<int32_t>::min();
    volanko().bestStreak = std::numeric_limits<int32_t>::max();
    frameAt(1);
    EXPECT_EQ(line("Current Streak: "), "Current Streak: -2147483648");
    EXPECT_EQ(line("Best Streak: "), "Best Streak: 2147483647");
    volanko().currentStreak = -7;
    volanko().bestStreak = 1000000;
    frameAt(2);
    EXPECT_EQ(line("Current Streak: "), "Current Streak: -7");
    EXPECT_EQ(line("Best Streak: "), "Best Streak: 1000000");
}

// Switches the process to a locale that writes a decimal comma, and back at the end.
class CommaLocale {
public:
    CommaLocale()
    {
        const char* current = std::setlocale(LC_ALL, nullptr);
        saved_ = current ? current : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                                 "es_ES.UTF-8", "it_IT.UTF-8", "ru_RU.UTF-8", "pt_BR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
                active_ = true;
                return;
            }
        }
        std::setlocale(LC_ALL, saved_.c_str());
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }

    bool active() const { return active_; }

private:
    std::string saved_;
    bool active_ = false;
};

TEST_F(Hud, TextsIgnoreADecimalCommaLocale)
{
    const CommaLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << "no locale with a decimal comma is installed (see `locale -a`)";
    }
    volanko().averageTime = 1234.567f;
    volanko().bestStreak = 1234567;
    volanko().lastResetTime = 10;
    frameAt(13.5);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Current Time: 3.500000", "Current Streak: 0", "Best Streak: 1234567",
                                                 "Average Time: 1234.567017"}));
}

// A decimal comma and digit grouping for C++ streams, as a host might install for its own texts.
struct CommaNumpunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST_F(Hud, TextsIgnoreTheGlobalStreamLocale)
{
    volanko().averageTime = 1234.567f;
    volanko().bestStreak = 1234567;
    volanko().lastResetTime = 10;
    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
    frameAt(13.5);
    std::locale::global(saved);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Current Time: 3.500000", "Current Streak: 0", "Best Streak: 1234567",
                                                 "Average Time: 1234.567017"}));
}

TEST_F(Hud, NothingOutsideFreeplayOrWithTheDrillOff)
{
    host.trace.on = true;
    command("volanko_stop");
    host.trace.clear();
    frameAt(1);
    EXPECT_TRUE(host.canvas.draws().empty());
    EXPECT_EQ(describeAll(host.trace), (std::vector<std::string>{"GameWrapper::IsInFreeplay []"}));

    command("volanko_start");
    host.world.setFreeplay(false);
    host.trace.clear();
    frameAt(2);
    EXPECT_TRUE(host.canvas.draws().empty());
    EXPECT_EQ(describeAll(host.trace), (std::vector<std::string>{"GameWrapper::IsInFreeplay []"}));
}

TEST_F(Hud, NoCameraDrawsNothingButTheRunStarts)
{
    ASSERT_TRUE(host.world.remove(host::ActorKind::Camera));
    host.trace.on = true;
    host.world.car()->contact = host::Contact::Air;
    frameAt(3);
    EXPECT_TRUE(host.canvas.draws().empty());
    EXPECT_TRUE(volanko().airborne);
    EXPECT_EQ(volanko().lastResetTime, 3.0f);
    const std::vector<std::string> calls = describeAll(host.trace);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "GameWrapper::GetCamera []");
    EXPECT_EQ(calls.back(), "ActorWrapper::IsNull null []");
}

TEST_F(Hud, NoBallDrawsNothingButTheRunStarts)
{
    ASSERT_TRUE(host.world.remove(host::ActorKind::Ball));
    host.world.car()->contact = host::Contact::Air;
    frameAt(3);
    EXPECT_TRUE(host.canvas.draws().empty());
    EXPECT_TRUE(volanko().airborne);
}

TEST_F(Hud, NoCarDrawsNothingButTheBallIsHeld)
{
    ASSERT_TRUE(host.world.remove(host::ActorKind::Car));
    volanko().ballTarget = {100, 200, 300};
    frameAt(3);
    EXPECT_TRUE(host.canvas.draws().empty());
    EXPECT_EQ(host.world.ball()->location.y, 200);
}

TEST_F(Hud, ARunBegunThisFrameShowsThisFrame)
{
    volanko().currentStreak = 4;
    volanko().bestStreak = 6;
    volanko().lastResetTime = 1;
    host.world.car()->contact = host::Contact::Air;
    frameAt(2.5);
    EXPECT_EQ(texts(), (std::vector<std::string>{"Current Time: 0.000000", "Current Streak: 0", "Best Streak: 6",
                                                 "Average Time: 1.500000"}));
}

TEST_F(Hud, ALandingThisFrameShowsTheBannerThisFrame)
{
    volanko().airborne = true;
    frameAt(4);
    ASSERT_EQ(host.canvas.draws().size(), 5u);
    EXPECT_EQ(host.canvas.draws()[4].text, "Failed!");
}

TEST_F(Hud, ExtremeCanvasSizesWrapInsteadOfOverflowing)
{
    host.canvas.size = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min()};
    frameAt(1);
    ASSERT_EQ(host.canvas.draws().size(), 4u);
    EXPECT_EQ(host.canvas.draws()[0].position.x, -1073741824 - 100);
    host.canvas.size = {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()};
    frameAt(2);
    EXPECT_EQ(host.canvas.draws().size(), 4u);
}

} // namespace
