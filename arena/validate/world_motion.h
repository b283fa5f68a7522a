#pragma once
// A rough free-play physics for the validator's rounds: enough motion that runs begin and end
// and the ball gets touched. Whatever the plug-in wrote, it keeps every number finite and every
// actor on the pitch.

#include "host.h"

class WorldMotion {
public:
    // Moves the world `seconds` on (clock included) and fires the ball-hit event when the
    // player's car starts touching the ball.
    void advance(host::Host& host, double seconds);

private:
    bool touching_ = false; // the car touched the ball at the end of the last step
};
