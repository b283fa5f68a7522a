#pragma once
// The vector arithmetic of the world's motion, in floats as the world holds them.

#include <cmath>

#include "bakkesmod/wrappers/values.h"

namespace sim {

inline Vector operator+(const Vector& a, const Vector& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vector operator-(const Vector& a, const Vector& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vector operator*(const Vector& v, float s)
{
    return {v.x * s, v.y * s, v.z * s};
}
inline float dot(const Vector& a, const Vector& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector cross(const Vector& a, const Vector& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float lengthOf(const Vector& v)
{
    return std::sqrt(dot(v, v));
}
// `v` made a unit vector; `otherwise` when it has no direction.
inline Vector unit(const Vector& v, const Vector& otherwise)
{
    const float length = lengthOf(v);
    return length > 1e-12f ? v * (1 / length) : otherwise;
}

} // namespace sim
