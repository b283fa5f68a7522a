#pragma once
// The drill the arena plays: how to start it, the variable that sets its level and the levels there
// are, the library it is built into, and the folder of the program's own files. Everything else in
// the arena takes these names from here as parameters.

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

inline constexpr DrillProfile kDrill{
    "volanko_start", "volanko_throwlevel", {"beginner", "easy", "normal", "hard", "pro"}, "Volanko", "volanko"};

// For a level text that names no level of kDrill (the plug-in then leaves the car alone): a line
// naming the levels, and the one meant when only case or blanks differ. Empty for a known level.
std::string levelHint(std::string_view text);

} // namespace arena
