#pragma once
// The sine, cosine and arc tangent the world's motion takes each tick, computed here from
// additions, multiplications, divisions and square roots alone. Those round the same on every
// system; the mathematical libraries' functions do not (Linux's and the Windows build's differ in
// the last bit now and then, and a chaotic flight turns one bit into a different play), and they
// cost more.

namespace sim {

// The sine and cosine of `radians`, any finite angle, to about 1e-11: below a float's last bit,
// since a turn's sine moves the body itself.
void sinCos(double radians, double& sine, double& cosine);

// The angle of the point (x, y) from the x axis, in [-pi, pi]; 0 for the origin. To 4e-8 radian:
// a 2,500th of the host's angle unit (1e-4 radian), which the rotations it reads are rounded to.
double atan2Of(double y, double x);

} // namespace sim
