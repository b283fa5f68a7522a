#pragma once
// The host must never be handed a non-finite number: the game's physics would not recover.

#include <cmath>

#include "bakkesmod/wrappers/values.h"

inline bool isFinite(const Vector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
