#pragma once
// Numbers typed on the command line and in console lines: the whole word must be the number.

#include <cstdint>
#include <optional>
#include <string_view>

namespace arena {

std::optional<int64_t> parseInteger(std::string_view word);   // decimal, optional sign
std::optional<uint64_t> parseUnsigned(std::string_view word); // decimal, no sign
std::optional<double> parseReal(std::string_view word);       // finite only; "1", "-2.5", "1e3"

} // namespace arena
