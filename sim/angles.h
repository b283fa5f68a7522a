#pragma once
// The sine, cosine and arc tangent the world's motion takes each tick, computed here from
// additions, multiplications, divisions and square roots alone. Those round the same on every
// system; the mathematical libraries' functions do not (Linux's and the Windows build's differ in
// the last bit now and then, and a chaotic flight turns one bit into a different play), and they
// cost more.

#include <algorithm>
#include <cmath>

namespace sim {

// The sine and cosine of `radians`, any finite angle, to about 1e-11: below a float's last bit,
// since a turn's sine moves the body itself.
void sinCos(double radians, double& sine, double& cosine);

// The angle of the point (x, y) from the x axis, in [-pi, pi]; 0 for the origin. To 4e-8 radian:
// a 2,500th of the host's angle unit (1e-4 radian), which the rotations it reads are rounded to.
// Always inline: a rotation reads three at once, and their chains of arithmetic then overlap.
[[gnu::always_inline]] inline double atan2Of(double y, double x)
{
    constexpr double kPi = 3.14159265358979323846;
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const double num = std::min(ax, ay);
    const double den = std::max(ax, ay);
    if (den == 0) {
        return 0;
    }
    // The arc tangent of t in [0, 1] by Hastings' odd polynomial of degree 15 (Abramowitz and
    // Stegun 4.4.49; its ten-digit coefficients leave it within 3.8e-8): one division, where a
    // finer series needs a table and a second reduction, for digits the host's unit drops. In pairs of terms (Estrin's scheme), so
    // that the longest chain is four steps rather than eight.
    const double t = num / den;
    const double z = t * t;
    const double z2 = z * z;
    const double z4 = z2 * z2;
    constexpr double a1 = 0.9999993329, a3 = -0.3332985605, a5 = 0.1994653599, a7 = -0.1390853351, a9 = 0.0964200441,
                     a11 = -0.0559098861, a13 = 0.0218612288, a15 = -0.0040540580;
    const double low = (a1 + a3 * z) + z2 * (a5 + a7 * z);
    const double high = (a9 + a11 * z) + z2 * (a13 + a15 * z);
    const double angle = t * (low + z4 * high);
    // A turning body stays in an octant for many ticks, so these branches are well predicted.
    const double first = ay > ax ? kPi / 2 - angle : angle; // 0 .. pi / 2
    const double half = x < 0 ? kPi - first : first;        // 0 .. pi
    return y < 0 ? -half : half;
}

} // namespace sim
