#pragma once
// Plain value types that cross the host boundary by value. No wrapper, no counting.

#include <cstdint>

// A point or a direction in the world: world units, or world units per second.
struct Vector {
    float x = 0; // along the side walls' normal
    float y = 0; // along the back walls' normal
    float z = 0; // up
};

// A canvas position or size in pixels.
struct Vector2 {
    int32_t x = 0;
    int32_t y = 0;
};

// An orientation in the host's angle units (65536 to the turn), in the host's order.
struct Rotator {
    int32_t pitch = 0;
    int32_t yaw = 0;
    int32_t roll = 0;
};

// A colour with 0..255 channels, in the host's order: red, green, blue, alpha.
struct LinearColor {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};
