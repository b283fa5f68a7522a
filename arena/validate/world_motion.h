#pragma once
// The world's motion in the validator's rounds: the arena's own frame step, so that runs begin and
// end and the ball gets touched as in free play, whatever the plug-in wrote.

#include "runtime/host.h"
#include "sim/frame_step.h"

namespace arena::validate {

class WorldMotion {
public:
    // One frame of `seconds` (clock included, and the ball-hit events of the new touches); a frame
    // of no time, or of a nonsense one, moves nothing.
    void advance(runtime::Host& host, double seconds);

private:
    sim::FrameStep frames_; // carried from frame to frame, like the arena's own
};

} // namespace arena::validate
