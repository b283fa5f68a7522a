#pragma once
// The world's motion in the validator's rounds: the arena's own frame step, so that runs begin and
// end and the ball gets touched as in free play, whatever the plug-in wrote.

#include "frame_step.h"
#include "host.h"

class WorldMotion {
public:
    // One frame of `seconds` (clock included, and the ball-hit events of the new touches); a frame
    // of no time, or of a nonsense one, moves nothing.
    void advance(host::Host& host, double seconds);

private:
    arena::FrameStep frames_; // carried from frame to frame, like the arena's own
};
