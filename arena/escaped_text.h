#pragma once
// Text from scripts, files and plug-ins made safe to show on a terminal.

#include <string>
#include <string_view>

namespace arena {

// `text` with each control byte (below 0x20, and 0x7f) written as \xNN, so that a NUL cannot cut
// a message short and an escape sequence cannot drive the terminal. Other bytes are kept.
std::string escapeControls(std::string_view text);

} // namespace arena
