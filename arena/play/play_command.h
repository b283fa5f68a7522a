#pragma once
// `arena play`: the options it takes and the session it runs.

#include <string>

#include "arena/console/session_run.h"

namespace arena {

struct PlayOptions {
    double seconds = 60;   // --seconds, above 0 and at most 1000000
    std::string level;     // --level, one of the drill's levels; empty leaves the variable as configured
    double skill = 0.6;    // --skill, 0..1
    bool realtime = false; // --realtime
    bool quiet = false;    // --quiet
    bool json = false;     // --json
};

// Plays the drill with the autopilot for `play.seconds`, live on a terminal. Returns the exit status.
int runPlay(const SessionOptions& options, const PlayOptions& play, const SessionGround& ground);

} // namespace arena
