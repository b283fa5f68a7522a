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
