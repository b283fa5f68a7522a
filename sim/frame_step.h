#pragma once
// One game frame of the world's motion, the same for the arena's frames and the validator's
// rounds: physics moves the world the frame's time on, then the clock follows, then each new touch
// of car and ball fires the ball-hit event while there is a game event to fire it in, as a game
// does. Drawing the frame is the caller's, after the step.

#include <cstdint>

#include "runtime/host.h"
#include "sim/physics.h"

namespace sim {

// Steps one host; keeps what physics carries between frames, so it lives as long as that host's
// world is played.
class FrameStep {
public:
    FrameStep();

    // Moves the world one frame of 1 / `rate` game seconds on (`rate` above 0; infinity is a frame
    // of no time). Returns the ball-hit events fired.
    int step(runtime::Host& host, double rate);

    PhysicsState physics; // carried from frame to frame; the player's input is set here before a step

private:
    // The clock moves as base + frames / rate, so whole seconds land exactly; rebased whenever
    // something else set it or the rate changed.
    double clockBase_ = 0;
    int64_t framesSinceBase_ = 0;
    double rate_ = 0;
};

} // namespace sim
