#pragma once
// The little vector arithmetic the drill does on the host's Vector, component by component.

#include <cmath>

#include "bakkesmod/wrappers/values.h"

// The host must never be handed a non-finite number: the game's physics would not recover.
inline bool isFinite(const Vector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline Vector add(const Vector& a, const Vector& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

inline Vector scale(const Vector& v, float factor)
{
    return {v.x * factor, v.y * factor, v.z * factor};
}

inline float length(const Vector& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
