#pragma once
// What each system's terminal seam shares once it knows whether cursor moves reach a terminal.

#include "platform/terminal.h"

namespace platform {

// The colours go with the cursor moves, unless NO_COLOR is set and not empty.
TerminalAbilities abilitiesWith(bool cursorMoves);

// What a terminal whose size cannot be asked is taken to be.
inline constexpr int kFallbackColumns = 80;
inline constexpr int kFallbackRows = 24;

} // namespace platform
