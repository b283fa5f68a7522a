#pragma once
// The overlay's texts, formed in a caller's buffer: no heap, no locale. A host that switched the
// process to a decimal comma still gets a point.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

// A label followed by a value, in a fixed buffer large enough for any float in full.
class HudText {
public:
    // Label, then the value as printf's "%f" prints the float widened to double.
    std::string_view fixed(std::string_view label, float value)
    {
        char* end = putLabel(label);
        // Drawn every frame, so the usual magnitudes skip the general algorithm: a float has 24
        // significant bits and 10^6 = 2^6 * 15625 adds 14, so the value in millionths is exact in a
        // double, and below 2^53 so is its whole part. Rounding that by hand, half to even as "%f"
        // does, gives printf's digits exactly.
        const double millionths = std::fabs(static_cast<double>(value)) * 1e6;
        if (!(millionths < 0x1p53)) { // also NaN
            return finish(
                std::to_chars(end, buffer_ + sizeof buffer_, static_cast<double>(value), std::chars_format::fixed, 6));
        }
        auto whole = static_cast<uint64_t>(millionths);
        const double rest = millionths - static_cast<double>(whole);
        if (rest > 0.5 || (rest == 0.5 && (whole & 1) != 0)) {
            ++whole;
        }
        if (std::signbit(value)) {
            *end++ = '-';
        }
        end = std::to_chars(end, buffer_ + sizeof buffer_, whole / 1000000).ptr;
        *end++ = '.';
        auto decimals = static_cast<uint32_t>(whole % 1000000);
        for (int digit = 5; digit >= 0; --digit) {
            end[digit] = static_cast<char>('0' + decimals % 10);
            decimals /= 10;
        }
        return {buffer_, static_cast<size_t>(end + 6 - buffer_)};
    }

    // Label, then the value in plain decimal.
    std::string_view decimal(std::string_view label, int32_t value)
    {
        char* end = putLabel(label);
        return finish(std::to_chars(end, buffer_ + sizeof buffer_, value));
    }

private:
    char* putLabel(std::string_view label)
    {
        std::memcpy(buffer_, label.data(), label.size());
        return buffer_ + label.size();
    }

    std::string_view finish(std::to_chars_result result)
    {
        return {buffer_, static_cast<size_t>(result.ptr - buffer_)};
    }

    // The longest "%f" of a float is 39 integer digits, a sign, a point and six decimals.
    char buffer_[96];
};
