#include "message_text.h"

namespace arena {

std::string quotedForMessage(std::string_view value)
{
    std::string text = "\"";
    if (value.size() <= kQuotedWhole) {
        text += value;
        text += '"';
        return text;
    }
    size_t shown = kQuotedShown;
    // Back to the start of the character the cut would fall in: continuation bytes are 10xxxxxx.
    while (shown > 0 && (static_cast<unsigned char>(value[shown]) & 0xC0) == 0x80) {
        --shown;
    }
    text += value.substr(0, shown);
    text += "\u2026\" (";
    text += std::to_string(value.size());
    text += " bytes)";
    return text;
}

} // namespace arena
