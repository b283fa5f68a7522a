// The overlay: where each line stands, its colour, scale and text, and when the banner shows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <vector>

#include "Volanko/HudText.h"
#include "tests/support/volanko_fixture.h"

namespace {

class Hud : public VolankoTest {
protected:
    void SetUp() override
    {
        VolankoTest::SetUp();
        startDrill();
    }
};

// A landing frame: first the frame step (the ball held, the car watched, the banner's time from a
// fresh server), then the drawing preconditions and the overlay, the banner at once and for two
// seconds.
TEST_F(Hud, WholeFrameTrace)
{
    volanko().airborne = true;
    volanko().lastResetTime = 0.5f;
    frameAt(2);
    EXPECT_EQ(
        trace(),
        "GameWrapper::IsInFreeplay []\n"
        // the frame step
        "GameWrapper::IsInFreeplay []\nGameWrapper::GetGameEventAsServer []\n"
        "ServerWrapper::GetGameBalls server []\nArrayWrapper::Count balls []\n"
        "ServerWrapper::GetGameBalls server []\nArrayWrapper::Get balls [0]\nActorWrapper::IsNull ball []\n"
        "ActorWrapper::SetVelocity ball [[0,0,0]]\nActorWrapper::SetLocation ball [[0,0,100]]\n"
        "GameWrapper::GetGameEventAsServer []\nGameEventWrapper::GetCars server []\n"
        "ArrayWrapper::Get cars [0]\nActorWrapper::IsNull car []\nVehicleWrapper::IsOnGround car []\n"
        "GameWrapper::GetGameEventAsServer []\nServerWrapper::GetSecondsElapsed server []\n"
        // the drawing preconditions
        "GameWrapper::GetCamera []\nActorWrapper::IsNull camera []\n"
        "GameWrapper::GetGameEventAsServer []\nActorWrapper::IsNull server []\n"
        "ServerWrapper::GetBall server []\nActorWrapper::IsNull ball []\n"
        "GameWrapper::GetLocalCar []\nActorWrapper::IsNull car []\n"
        // the overlay
        "CanvasWrapper::GetSize canvas []\nCanvasWrapper::SetColor canvas [[255,255,255,255]]\n"
        "CanvasWrapper::SetPosition canvas [[860,1050]]\nServerWrapper::GetSecondsElapsed server []\n"
        "CanvasWrapper::DrawString canvas [\"Current Time: 1.500000\"]\n"
        "CanvasWrapper::SetPosition canvas [[1060,1020]]\nCanvasWrapper::DrawString canvas [\"Current Streak: 0\"]\n"
        "CanvasWrapper::SetPosition canvas [[1060,1050]]\nCanvasWrapper::DrawString canvas [\"Best Streak: 0\"]\n"
        "CanvasWrapper::SetPosition canvas [[860,1020]]\n"
        "CanvasWrapper::DrawString canvas [\"Average Time: 0.000000\"]\n"
        "ServerWrapper::GetSecondsElapsed server []\nCanvasWrapper::SetColor canvas [[255,0,0,255]]\n"
        "CanvasWrapper::SetPosition canvas [[840,490]]\nCanvasWrapper::DrawString canvas [\"Failed!\",5,5]\n");
    EXPECT_EQ(host.trace().entries().front().json(), R"({"call":"GameWrapper::IsInFreeplay","args":[],"result":true})");
    EXPECT_EQ(host.trace().entries().back().json(),
              R"({"call":"CanvasWrapper::DrawString","self":"canvas","args":["Failed!",5,5]})");
    frameAt(std::nextafter(4.0f, 0.0f));
    EXPECT_EQ(host.canvas().draws().size(), 5u) << "the banner shows until its time";
    frameAt(4);
    EXPECT_EQ(host.canvas().draws().size(), 4u) << "and not at the very time";
}

// Where each text stands on a canvas of one size: the four lines in drawing order, then the banner.
struct Layout {
    Vector2 size;
    Vector2 at[5];
};

class HudLayout : public Hud, public ::testing::WithParamInterface<Layout> {};

TEST_P(HudLayout, LinesAndBannerStandWhereTheySay)
{
    host.setCanvasSize(GetParam().size);
    volanko().failedUntil = 100;
    frameAt(1);
    const auto draws = host.canvas().draws();
    ASSERT_EQ(draws.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(draws[i].position.x, GetParam().at[i].x) << draws[i].text;
        EXPECT_EQ(draws[i].position.y, GetParam().at[i].y) << draws[i].text;
    }
}

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

constexpr int32_t kHalfMin = kMin / 2;

INSTANTIATE_TEST_SUITE_P(
    CanvasSizes, HudLayout,
    ::testing::Values(Layout{{1921, 1081}, {{860, 1051}, {1060, 1021}, {1060, 1051}, {860, 1021}, {840, 490}}},
                      // Halves truncate toward zero, also for a size no real canvas has.
                      Layout{{-1921, -1081},
                             {{-1060, -1111}, {-860, -1141}, {-860, -1111}, {-1060, -1141}, {-1080, -590}}},
                      // Extremes wrap instead of overflowing.
                      Layout{{kMin, kMin},
                             {{kHalfMin - 100, kMax - 29},
                              {kHalfMin + 100, kMax - 59},
                              {kHalfMin + 100, kMax - 29},
                              {kHalfMin - 100, kMax - 59},
                              {kHalfMin - 120, kHalfMin - 50}}}));

// A decimal comma for C++ streams, as a host might install for its own texts.
struct CommaNumpunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST_F(Hud, TextsWhateverTheProcessLocale)
{
    frameAt(12.25);
    EXPECT_EQ(texts(),
              (Lines{"Current Time: 12.250000", "Current Streak: 0", "Best Streak: 0", "Average Time: 0.000000"}))
        << "a fresh object shows zeros and the whole elapsed time";

    volanko().averageTime = 1234.567f;
    volanko().lastResetTime = 10;
    volanko().currentStreak = kMin;
    volanko().bestStreak = kMax;
    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // a decimal comma for C, when it is installed
    frameAt(7);
    std::locale::global(saved);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(texts(), (Lines{"Current Time: -3.000000", "Current Streak: -2147483648", "Best Streak: 2147483647",
                              "Average Time: 1234.567017"}));

    // 2^24 + 1 seconds reads as 2^24 in a float: the difference is 1, not the 2 a double gives.
    volanko().lastResetTime = 16777215.0f;
    frameAt(16777217.0);
    EXPECT_EQ(texts()[0], "Current Time: 1.000000");
}

struct Missing {
    runtime::ActorKind kind;
    const char* lastCalls; // the precondition that stops the frame
};

class NothingDrawn : public Hud, public ::testing::WithParamInterface<Missing> {};

TEST_P(NothingDrawn, WithoutCameraServerBallOrCarButTheFrameStepRuns)
{
    ASSERT_TRUE(host.driveWorld().remove(GetParam().kind));
    if (runtime::Actor* car = host.driveWorld().car()) {
        car->contact = runtime::Contact::Air;
    }
    frameAt(3);
    EXPECT_TRUE(host.canvas().draws().empty());
    EXPECT_THAT(trace(), ::testing::EndsWith(GetParam().lastCalls + std::string("\nActorWrapper::IsNull null []\n")));
    EXPECT_EQ(volanko().airborne, host.world().car() != nullptr) << "a run begins with a car in the air";
}

INSTANTIATE_TEST_SUITE_P(Preconditions, NothingDrawn,
                         ::testing::Values(Missing{runtime::ActorKind::Camera, "GameWrapper::GetCamera []"},
                                           Missing{runtime::ActorKind::Ball, "ServerWrapper::GetBall server []"},
                                           Missing{runtime::ActorKind::Car, "GameWrapper::GetLocalCar []"}));

// Checks the value against printf, stopping at the fifth difference so a broken path cannot flood
// the log.
void expectPrintfDigits(float value, int& failures)
{
    char printed[400];
    std::snprintf(printed, sizeof printed, "%f", static_cast<double>(value));
    HudText text;
    if (failures < 5 && text.fixed("", value) != printed) {
        ++failures;
        ADD_FAILURE() << "value " << std::hexfloat << value << ": formed " << text.fixed("", value) << ", printf gives "
                      << printed;
    }
}

// The fixed-point form takes a short path for the usual magnitudes; it must give printf's "%f"
// digits exactly, ties and carries included.
TEST(HudTextFixed, AgreesWithPrintf)
{
    int failures = 0;
    for (const float value : {0.99999994f, 9.9999999e-7f, -0.0f, -1e-9f, std::numeric_limits<float>::denorm_min(),
                              std::numeric_limits<float>::max(), std::numeric_limits<float>::infinity()}) {
        expectPrintfDigits(value, failures);
    }
    // Exact halves of a millionth, odd multiples of 2^-7, round to even.
    for (int odd = 1; odd < (1 << 20); odd += 2) {
        expectPrintfDigits(std::ldexp(static_cast<float>(odd), -7), failures);
        expectPrintfDigits(-std::ldexp(static_cast<float>(odd), -7), failures);
    }
    // Around powers of ten, and 2^53 millionths, where the short path hands over to the general one.
    for (const double centre : {1e-6, 1e-3, 1.0, 10.0, 1e3, 1e6, 1e9, 0x1p53 / 1e6, 1e10, 1e30}) {
        float value = std::nextafter(static_cast<float>(centre), 0.0f);
        for (int step = 0; step < 4096; ++step) {
            value = std::nextafter(value, std::numeric_limits<float>::infinity());
            expectPrintfDigits(value, failures);
            expectPrintfDigits(-value, failures);
        }
    }
    std::mt19937 bits(2024);
    for (int i = 0; i < 200000; ++i) {
        const uint32_t pattern = bits();
        float value;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isnan(value)) {
            expectPrintfDigits(value, failures);
        }
    }
}

} // namespace
