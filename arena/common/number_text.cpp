#include "arena/common/number_text.h"

#include <charconv>
#include <cmath>

namespace arena {

namespace {

template <class T> std::optional<T> parseWhole(std::string_view word)
{
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
        if (!word.empty() && word.front() == '-') {
            return std::nullopt;
        }
    }
    T value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<int64_t> parseInteger(std::string_view word)
{
    return parseWhole<int64_t>(word);
}

std::optional<uint64_t> parseUnsigned(std::string_view word)
{
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) {
        return std::nullopt;
    }
    return parseWhole<uint64_t>(word);
}

std::optional<double> parseReal(std::string_view word)
{
    const auto value = parseWhole<double>(word);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace arena
