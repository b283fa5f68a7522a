#include "runtime/cvar_value.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace runtime {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void skipBlanks(std::string_view& text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
}

// Takes one finite float from the front of `text`; an optional '+' is allowed.
std::optional<float> takeNumber(std::string_view& text)
{
    skipBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    float value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return value;
}

bool takeChar(std::string_view& text, char c)
{
    skipBlanks(text);
    if (text.empty() || text.front() != c) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

} // namespace

std::optional<NumericValue> parseNumericValue(std::string_view text)
{
    NumericValue value;
    if (takeChar(text, '(')) {
        const auto low = takeNumber(text);
        if (!low || !takeChar(text, ',')) {
            return std::nullopt;
        }
        const auto high = takeNumber(text);
        if (!high || !takeChar(text, ')')) {
            return std::nullopt;
        }
        value = {*low, *high, true};
        if (value.low > value.high) {
            std::swap(value.low, value.high);
        }
    } else {
        const auto number = takeNumber(text);
        if (!number) {
            return std::nullopt;
        }
        value = {*number, *number, false};
    }
    skipBlanks(text);
    if (!text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::string formatNumber(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return {buffer, static_cast<size_t>(result.ptr - buffer)};
}

std::string formatNumericValue(const NumericValue& value)
{
    if (!value.isRange) {
        return formatNumber(value.low);
    }
    std::string text = "(";
    text += formatNumber(value.low);
    text += ", ";
    text += formatNumber(value.high);
    text += ')';
    return text;
}

std::string quotedExcerpt(std::string_view text)
{
    std::string quoted = "\"";
    if (text.size() <= kExcerptBytes) {
        quoted += text;
        return quoted + '"';
    }
    // Back to the first byte of the character the cut would split (continuation bytes are 10xxxxxx).
    size_t cut = kExcerptShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    quoted += text.substr(0, cut);
    quoted += "\xE2\x80\xA6\" ("; // …
    quoted += std::to_string(text.size());
    return quoted + " bytes)";
}

} // namespace runtime
