#pragma once
// The world's motion in the validator's rounds: the arena's physics, so that runs begin and end
// and the ball gets touched as in free play, whatever the plug-in wrote.

#include "host.h"
#include "physics.h"

class WorldMotion {
public:
    // Moves the world `seconds` on (clock included) and fires the ball-hit event once for each new
    // touch of car and ball, as a game does while there is a game event.
    void advance(host::Host& host, double seconds);

private:
    arena::PhysicsState state_; // carried from step to step, like the arena's own
};
