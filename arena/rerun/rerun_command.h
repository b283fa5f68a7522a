#pragma once
// `arena rerun`: a recording's session played again from what it was given (its seed, its setup,
// its console lines at their frames and the player's controls tick by tick, never the autopilot),
// recorded as it goes and compared, byte for byte, with the recording.

#include <string>

#include "arena/console/session_run.h"

namespace arena {

struct RerunOptions {
    std::string recording; // FILE: a recording made with --record
};

// Prints where the two first differ, or that they are the same. Returns the exit status: 0 the
// same, 1 they differ or the recording cannot be played again, the plug-in's load refusal's, or
// the stop signal's.
int runRerun(const SessionOptions& options, const RerunOptions& rerun, const SessionGround& ground);

} // namespace arena
