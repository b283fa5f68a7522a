#pragma once
// The overlay's texts, formed in a caller's buffer: no heap, no locale. A host that switched the
// process to a decimal comma still gets a point.

#include <charconv>
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
        return finish(std::to_chars(end, buffer_ + sizeof buffer_, static_cast<double>(value),
                                    std::chars_format::fixed, 6));
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
