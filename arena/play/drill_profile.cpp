#include "arena/play/drill_profile.h"

#include <algorithm>

#include "arena/common/concat.h"
#include "runtime/cvar_value.h"

namespace arena {

std::string levelHint(std::string_view text)
{
    if (std::find(kDrill.levels.begin(), kDrill.levels.end(), text) != kDrill.levels.end()) {
        return {};
    }
    std::string hint =
        concat("note: ", kDrill.levelVariable, " ", runtime::quotedExcerpt(text), " is none of the levels ");
    for (const std::string_view level : kDrill.levels) {
        hint += level;
        hint += level == kDrill.levels.back() ? "" : ", ";
    }
    hint += "; the car will not be thrown";
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    const std::string_view trimmed = first == std::string_view::npos ? "" : text.substr(first, last - first + 1);
    for (const std::string_view level : kDrill.levels) {
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
