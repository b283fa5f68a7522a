// The overlay's texts: the fixed-point form takes a short path for the usual magnitudes; it must
// give printf's "%f" digits exactly, ties and carries included.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "Volanko/HudText.h"

namespace {

std::string printed(float value)
{
    char text[400];
    const int length = std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return {text, static_cast<size_t>(length)};
}

std::string formed(float value)
{
    HudText text;
    return std::string(text.fixed("", value));
}

// Stops at the first few differences so that a broken path does not flood the log.
void expectPrintfDigits(float value, int& failures)
{
    if (failures < 5 && formed(value) != printed(value)) {
        ++failures;
        ADD_FAILURE() << "value " << std::hexfloat << value << ": formed " << formed(value) << ", printf gives "
                      << printed(value);
    }
}

TEST(HudTextFixed, ExactHalvesRoundToEven)
{
    // A float is an exact half of a millionth when it is an odd multiple of 2^-7.
    EXPECT_EQ(formed(0.0078125f), "0.007812");
    EXPECT_EQ(formed(0.0234375f), "0.023438");
    int failures = 0;
    for (int odd = 1; odd < (1 << 20); odd += 2) {
        const float value = std::ldexp(static_cast<float>(odd), -7);
        expectPrintfDigits(value, failures);
        expectPrintfDigits(-value, failures);
    }
}

TEST(HudTextFixed, CarriesAndSigns)
{
    EXPECT_EQ(formed(0.99999994f), "1.000000");
    EXPECT_EQ(formed(9.9999999e-7f), "0.000001");
    EXPECT_EQ(formed(-0.0f), "-0.000000");
    EXPECT_EQ(formed(-1e-9f), "-0.000000");
    EXPECT_EQ(formed(std::numeric_limits<float>::denorm_min()), "0.000000");
}

TEST(HudTextFixed, AroundPowersOfTenAndThePathsBoundary)
{
    int failures = 0;
    // 2^53 millionths is where the short path hands over to the general one.
    for (const double centre : {1e-6, 1e-3, 1.0, 10.0, 1e3, 1e6, 1e9, 0x1p53 / 1e6, 1e10, 1e30}) {
        float value = std::nextafter(static_cast<float>(centre), 0.0f);
        for (int step = 0; step < 4096; ++step) {
            value = std::nextafter(value, std::numeric_limits<float>::infinity());
            expectPrintfDigits(value, failures);
            expectPrintfDigits(-value, failures);
        }
    }
}

TEST(HudTextFixed, AnyFloatBitPattern)
{
    std::mt19937 bits(2024);
    int failures = 0;
    for (int i = 0; i < 200000; ++i) {
        const uint32_t pattern = bits();
        float value;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isnan(value)) {
            expectPrintfDigits(value, failures);
        }
    }
    expectPrintfDigits(std::numeric_limits<float>::max(), failures);
    expectPrintfDigits(std::numeric_limits<float>::infinity(), failures);
    expectPrintfDigits(-std::numeric_limits<float>::infinity(), failures);
}

} // namespace
