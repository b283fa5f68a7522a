#include "platform/common/terminal_abilities.h"

#include <cstdlib>

namespace platform {

TerminalAbilities abilitiesWith(bool cursorMoves)
{
    const char* noColour = std::getenv("NO_COLOR");
    return {cursorMoves, cursorMoves && !(noColour && *noColour)};
}

} // namespace platform
