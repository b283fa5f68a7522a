#pragma once
// What a player's controller says at one physics tick: the state bots of this game are driven by.

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

// `value` within -1..1; not a number is 0, the stick at rest. Selections rather than branches:
// every tick passes each axis through here, and an autopilot's sticks wander across the ends.
inline float axisValue(float value)
{
    const float high = value < 1 ? value : 1;
    const float both = high > -1 ? high : -1;
    return value == value ? both : 0;
}

// Each axis by name rather than through a list of their addresses, which would keep the whole
// state in memory for a loop that the compiler then cannot unroll into registers.
inline Controls sanitized(Controls controls)
{
    controls.throttle = axisValue(controls.throttle);
    controls.steer = axisValue(controls.steer);
    controls.pitch = axisValue(controls.pitch);
    controls.yaw = axisValue(controls.yaw);
    controls.roll = axisValue(controls.roll);
    return controls;
}

} // namespace sim
