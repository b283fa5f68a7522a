#pragma once
// A host with the built plug-in loaded and a drill in the middle of a run: free play, drill on,
// the car in the air after the frame that began the run, throw level "pro" and the three ball
// location variables drawing from ranges. Every benchmark of one drawn frame or one ball hit
// starts from here, so that the plug-in's calls and the floor's are the same calls.
//
// Lifetime: the session owns its host; the plug-in is unloaded when the session dies.

#include <string>

#include "runtime/host.h"

namespace bench {

class DrillSession {
public:
    DrillSession();
    DrillSession(const DrillSession&) = delete;
    DrillSession& operator=(const DrillSession&) = delete;

    bool ready() const { return error.empty(); }

    GameWrapper& game();         // the plug-in's own game wrapper, so its calls pass as the plug-in's
    CVarManagerWrapper& cvars(); // the plug-in's own console wrapper

    // The frame the plug-in would draw and the hit it would handle, as the bare host calls with
    // the arguments the plug-in passes in this session; no plug-in code runs.
    void floorFrame();
    void floorHit();

    runtime::Host host{1};
    uint32_t plugin = 0; // the loaded library's id; 0 when loading failed
    std::string error;   // why the session is not ready; empty when it is

private:
    Vector heldBall_; // where the plug-in holds the ball in this run
};

// Why the bench could not load the plug-in, for a figure skipped with an error: a number for the
// loader's reason, and the system's words where it gave some.
std::string loadFailure(const runtime::LoadResult& loaded);

// Empty when the floor's calls match the plug-in's call for call (names, receivers and arguments;
// for a hit, the arguments that come from drawn numbers excepted); otherwise the first difference.
std::string floorMismatch();

} // namespace bench
