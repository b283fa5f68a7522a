#pragma once
// What a player's controller says at one physics tick: the state bots of this game are driven by.

#include <initializer_list>

namespace sim {

struct Controls {
    float throttle = 0; // -1..1: forward on the ground, reverse or brake below 0; a little push in the air
    float steer = 0;    // -1..1: positive turns right on the ground
    float pitch = 0;    // -1..1: positive lifts the nose, in the air
    float yaw = 0;      // -1..1: positive turns the nose right, in the air
    float roll = 0;     // -1..1: positive rolls right (the right side down), in the air
    bool jump = false;  // held: a press jumps, holding it jumps higher
    bool boost = false; // held: unlimited, as free play's default
    bool handbrake = false;
};

// `value` within -1..1; not a number is 0, the stick at rest.
inline float axisValue(float value)
{
    if (!(value == value)) {
        return 0;
    }
    return value < -1 ? -1 : (value > 1 ? 1 : value);
}

inline Controls sanitized(Controls controls)
{
    for (float* axis : {&controls.throttle, &controls.steer, &controls.pitch, &controls.yaw, &controls.roll}) {
        *axis = axisValue(*axis);
    }
    return controls;
}

} // namespace sim
