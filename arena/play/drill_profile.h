#pragma once
// The drill the arena plays: how to start it, the variable that sets its level and the levels there
// are, the library it is built into, and the folder of the program's own files. Everything else in
// the arena takes these names from here as parameters.

#include "arena/common/drill_names.h"

namespace arena {

inline constexpr DrillProfile kDrill{
    "volanko_start", "volanko_throwlevel", {"beginner", "easy", "normal", "hard", "pro"}, "Volanko", "volanko"};

} // namespace arena
