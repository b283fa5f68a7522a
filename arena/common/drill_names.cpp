#include "arena/common/drill_names.h"

#include <algorithm>

#include "arena/common/concat.h"
#include "runtime/cvar_value.h"

namespace arena {

std::string levelHint(const DrillProfile& drill, std::string_view text)
{
    if (std::find(drill.levels.begin(), drill.levels.end(), text) != drill.levels.end()) {
        return {};
    }
    std::string hint =
        concat("note: ", drill.levelVariable, " ", runtime::quotedExcerpt(text), " is none of the levels ");
    for (const std::string_view level : drill.levels) {
        hint += level;
        hint += level == drill.levels.back() ? "" : ", ";
    }
    hint += "; the car will not be thrown";
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    const std::string_view trimmed = first == std::string_view::npos ? "" : text.substr(first, last - first + 1);
    for (const std::string_view level : drill.levels) {
        const bool same = std::equal(level.begin(), level.end(), trimmed.begin(), trimmed.end(), [](char a, char b) {
            return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
        });
        if (same) {
            hint += concat(" (did you mean \"", level, "\"?)");
        }
    }
    return hint;
}

} // namespace arena
