#pragma once
// The free-play pitch, in world units, and where a fresh free play puts the ball and the car. The
// origin is the centre spot on the ground. The replay page takes the walls, the ceiling and the
// ball's radius from this file when it is built (web/pitch.mjs): keep each an `inline constexpr
// float` with a plain number, or the page's build stops and names the one it cannot read.

#include "bakkesmod/wrappers/values.h"

namespace runtime {

inline constexpr float kSideWallX = 4096; // side walls at x = ±this
inline constexpr float kBackWallY = 5120; // back walls at y = ±this
inline constexpr float kCeilingZ = 2044;

inline constexpr float kBallRadius = 91.25f;
inline constexpr float kBallRestHeight = 93.15f; // the ball's centre above the ground at rest
inline constexpr float kCarRestHeight = 17.01f;  // the car's origin above the ground at rest, on its wheels

// The goals: an opening in each back wall, and the box behind it.
inline constexpr float kGoalHalfWidth = 893;
inline constexpr float kGoalHeight = 642.78f;
inline constexpr float kGoalDepth = 880;
// The four vertical corner planes cut the pitch where abs(x) + abs(y) reaches this.
inline constexpr float kCornerReach = 8064;

inline constexpr Vector kBallSpawn{0, 0, kBallRestHeight};   // at rest on the centre spot
inline constexpr Vector kCarSpawn{0, -4608, kCarRestHeight}; // at rest in front of its own goal
inline constexpr Rotator kCarSpawnRotation{0, 16384, 0};     // a quarter turn: nose along +y

} // namespace runtime
