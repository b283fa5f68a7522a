#pragma once
// Words and values quoted in messages. A line can be megabytes long, and a message that repeats it
// whole buries what it says: a long one is cut, and its length tells what was cut.

#include <cstddef>
#include <string>
#include <string_view>

namespace arena {

inline constexpr size_t kQuotedWhole = 64; // bytes a quoted value may have and still be shown whole
inline constexpr size_t kQuotedShown = 40; // bytes shown of a longer one, less to end on a whole character

// `value` in double quotes: `"abc"`, or for a value longer than kQuotedWhole its first bytes, an
// ellipsis and its length: `"aaaa…" (10485760 bytes)`. A UTF-8 character is never cut in two.
std::string quotedForMessage(std::string_view value);

} // namespace arena
