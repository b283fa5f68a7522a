#pragma once
// The standard car's body as the game measures it: an oriented box, offset from the car's origin,
// and the frame its axes give. World units; the world is right-handed with z up, and a car's frame
// is forward, left, up.

#include "bakkesmod/wrappers/values.h"

namespace sim {

// Box extents, and where its centre sits from the car's origin in the car's frame.
inline constexpr float kHitboxLength = 118.01f;
inline constexpr float kHitboxWidth = 84.20f;
inline constexpr float kHitboxHeight = 36.16f;
inline constexpr Vector kHitboxOffset{13.88f, 0, 20.75f}; // forward, left, up

// Rotations are in the host's units, 65536 to the turn.
inline constexpr double kRotatorUnitsPerRadian = 32768.0 / 3.14159265358979323846;

// The car's axes in the world: unit vectors, each at right angles to the other two.
struct Frame {
    Vector forward{1, 0, 0};
    Vector left{0, 1, 0};
    Vector up{0, 0, 1};

    Vector toWorld(const Vector& local) const; // (forward, left, up) components to world
    Vector toLocal(const Vector& world) const; // world to (forward, left, up) components
};

// Pitch lifts the nose (positive up), yaw turns it anticlockwise seen from above, starting along +x,
// and roll turns the car about its nose, positive to the right (its right side down).
Frame frameOf(const Rotator& rotation);
// The rotation whose frame is nearest `frame`, each angle rounded to the host's unit.
Rotator rotatorOf(const Frame& frame);

// `frame` turned by `spin` (radians per second, world axes) for `seconds`, kept orthonormal.
Frame turned(const Frame& frame, const Vector& spin, float seconds);

// The box's centre in the world, for a car whose origin is at `origin`.
Vector hitboxCentre(const Vector& origin, const Frame& frame);

// The point of the box nearest `point` (the point itself when inside), in the world.
Vector nearestOnHitbox(const Vector& origin, const Frame& frame, const Vector& point);

// How far the box reaches below the plane through `planePoint` with unit normal `normal`: the
// largest depth of its corners behind it; 0 or less when the box is clear of it.
float hitboxDepthBehind(const Vector& origin, const Frame& frame, const Vector& planePoint, const Vector& normal);

} // namespace sim
