#pragma once
// `arena --version`: the arena's version, and the name and version the plug-in's record gives.

#include "arena/console/session_run.h"

namespace arena {

// Loads the plug-in as a session would (its record holds its name and version) and prints both
// versions. Returns the exit status: 1 when the plug-in does not load, the message on standard error.
int printVersion(const SessionOptions& options, const SessionGround& ground);

} // namespace arena
