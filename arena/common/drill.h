#pragma once
// What the arena knows of the drill it was built around: how to start it, the variable that sets
// its level and the levels there are, and the library it is built into.

#include <array>
#include <string>
#include <string_view>

namespace arena::drill {

inline constexpr std::string_view kStartCommand = "volanko_start";
inline constexpr std::string_view kLevelVariable = "volanko_throwlevel";
inline constexpr std::array<std::string_view, 5> kLevels = {"beginner", "easy", "normal", "hard", "pro"};
// The library built beside the arena program, named as the system names libraries.
inline constexpr std::string_view kLibraryName = "Volanko";
// The folder of the program's own files in the user's configuration and state folders.
inline constexpr std::string_view kFolderName = "volanko";

// For a level text that names no level (the plug-in then leaves the car alone): a line naming the
// levels, and the one meant when only case or blanks differ. Empty for a known level.
std::string levelHint(std::string_view text);

} // namespace arena::drill
