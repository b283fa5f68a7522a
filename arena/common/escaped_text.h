#pragma once
// Text from scripts, files and plug-ins made safe to show on a terminal.

#include <string>
#include <string_view>

namespace arena {

// `text` with each control byte (below 0x20) written as \xNN, so that a NUL cannot cut a message
// short and an escape sequence cannot drive the terminal. Other bytes are kept, so that a line of
// JSON (which escapes those bytes itself) is printed as it is.
std::string escapeControls(std::string_view text);

// One line, escaped, to standard output.
void printLine(std::string_view line);
// One line, escaped, to standard error, after what standard output holds so far.
void warnLine(std::string_view line);

} // namespace arena
