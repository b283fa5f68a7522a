#pragma once
// The vector arithmetic the runtime does on what plug-ins hand it, and that programs checking the
// world share with it.

#include <cmath>

#include "bakkesmod/wrappers/values.h"

namespace runtime {

// The world must never take a non-finite number: a real game's physics would not recover.
inline bool isFinite(const Vector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline Vector add(const Vector& a, const Vector& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

} // namespace runtime
