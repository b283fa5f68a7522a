#pragma once
// `arena play`: free play with the drill switched on and the autopilot at the wheel, watched live
// on a terminal or run as fast as possible, with a summary of the runs at the end.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "arena/console/session.h"

namespace arena {

struct PlaySettings {
    double seconds = 60;    // game seconds to play
    std::string level;      // volanko_throwlevel for the play; empty leaves the variable alone
    bool live = false;      // draw the live view (a terminal, not --quiet)
    bool realtime = false;  // pace frames to the wall clock (always so with the live view)
    bool colours = true;    // the live view in colour
    bool runLines = true;   // print a line per finished run (off a terminal, not --quiet)
    bool json = false;      // the summary as one JSON object
    uint64_t seed = 0;      // printed in the summary
    double skill = 0.6;     // shown in the live view and the summary
    std::string configPath; // told in the summary; empty for none
    // When set, called once the drill runs at its level, before the first frame; false stops the
    // play there (its caller has said why).
    std::function<bool()> started;
};

// Plays in `session` (whose plug-in is loaded) and prints to `out`. Returns the exit status: 0, or
// 1 when the drill could not be started, the level not set (the message on `err`) or `started`
// refused. Ctrl-C, SIGTERM and SIGHUP end the play early, with the summary of what was played, and
// the status is then the shell's for that signal (130 for Ctrl-C); so does a recording that can no
// longer be written.
int play(Session& session, const PlaySettings& settings, std::FILE* out, std::FILE* err);

} // namespace arena
