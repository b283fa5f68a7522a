#pragma once
// The text of a console variable's value: a finite number, a range "(a, b)" of two finite
// numbers, or (for a variable with no numeric nature) any other text.

#include <optional>
#include <string>
#include <string_view>

namespace runtime {

struct NumericValue {
    float low = 0;        // the number, or the range's lower end
    float high = 0;       // the number again, or the range's upper end
    bool isRange = false; // read as a fresh draw in [low, high] on every numeric read
};

// Accepts blanks around the parts; refuses anything not finite in single precision, and
// trailing text. A range whose ends are given high first is turned round.
std::optional<NumericValue> parseNumericValue(std::string_view text);

// A number in its shortest form that reads back as the same float ("1", "-0.5", "1e+30").
std::string formatNumber(float value);
// The value's canonical text: a number as above, a range as "(low, high)".
std::string formatNumericValue(const NumericValue& value);

// The longest text a message shows whole: a value or a line may be megabytes long, and a message
// that repeats it whole buries what it says.
constexpr size_t kExcerptBytes = 64;
// How much of a longer text it shows: at most this many bytes, fewer to end on a whole character.
constexpr size_t kExcerptShown = 40;

// `text` in double quotes for a message; when longer than kExcerptBytes, its first kExcerptShown
// bytes cut at the start of a UTF-8 character, with "…" and its length: "aaaa…" (10485760 bytes).
std::string quotedExcerpt(std::string_view text);

} // namespace runtime
