#pragma once
// What the arena's commands take from the drill they play, as parameters: the drill itself is
// named once, in the play code (arena/play/drill_profile.h).

#include <array>
#include <string>
#include <string_view>

namespace arena {

struct DrillProfile {
    std::string_view startCommand;
    std::string_view levelVariable;
    std::array<std::string_view, 5> levels;
    // The library built beside the arena program, named as the system names libraries.
    std::string_view libraryName;
    // The folder of the program's own files in the user's configuration and state folders.
    std::string_view folderName;
};

// For a level text that names no level of `drill` (the plug-in then leaves the car alone): a line
// naming the levels, and the one meant when only case or blanks differ. Empty for a known level.
std::string levelHint(const DrillProfile& drill, std::string_view text);

} // namespace arena
