#pragma once
// The arena_dump line: the world, the last drawn frame, the plug-ins' log, the variables and the
// host's fault counts as one line of JSON.

#include <string>

#include "runtime/host.h"

namespace arena {

// Floats print in their shortest form that reads back as the same float.
std::string dumpJson(const runtime::Host& host, bool paused);

} // namespace arena
