#include "sim/angles.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Pi over two in two parts, the first with its low bits zero, so that k times it is exact.
constexpr double kHalfPiHigh = 1.5707963267341256e+00;
constexpr double kHalfPiLow = 6.0771005065061922e-11;

// atan(k / 8) for k = 0..8, to a double's last bit.
constexpr double kAtanEighths[] = {0,
                                   0.12435499454676144,
                                   0.24497866312686414,
                                   0.35877067027057225,
                                   0.46364760900080609,
                                   0.55859931534356244,
                                   0.64350110879328437,
                                   0.71882999962162453,
                                   0.78539816339744828};

// The arc tangent of num / den for 0 <= num <= den, den > 0: from the nearest k / 8 to the ratio,
// atan(t) = atan(k / 8) + atan(u) with u = (num - den k / 8) / (den + num k / 8), so abs(u) <= 1 / 16,
// where the series to u^7 is within 2e-12. k comes from comparisons, which run side by side, so
// that the whole takes one division: the tick calls this for every turning body, and a chain of
// divisions is what a processor does slowest.
double atanRatio(double num, double den)
{
    const double n16 = num * 16;
    const int k = (n16 > den) + (n16 > 3 * den) + (n16 > 5 * den) + (n16 > 7 * den) + (n16 > 9 * den) +
                  (n16 > 11 * den) + (n16 > 13 * den) + (n16 > 15 * den);
    const double c = k * 0.125;
    const double u = (num - c * den) / (den + c * num);
    const double u2 = u * u;
    constexpr double c3 = -1.0 / 3, c5 = 1.0 / 5, c7 = -1.0 / 7;
    return kAtanEighths[k] + u * (1 + u2 * (c3 + u2 * (c5 + u2 * c7)));
}

} // namespace

void sinCos(double radians, double& sine, double& cosine)
{
    const double k = std::floor(radians * (2 / kPi) + 0.5);
    const double r = (radians - k * kHalfPiHigh) - k * kHalfPiLow; // within pi / 4 of 0
    const double r2 = r * r;
    // The series to r^11 and r^12: what follows is below 1e-11 for abs(r) <= pi / 4.
    constexpr double s3 = -1.0 / 6, s5 = 1.0 / 120, s7 = -1.0 / 5040, s9 = 1.0 / 362880, s11 = -1.0 / 39916800;
    constexpr double c2 = -1.0 / 2, c4 = 1.0 / 24, c6 = -1.0 / 720, c8 = 1.0 / 40320, c10 = -1.0 / 3628800,
                     c12 = 1.0 / 479001600;
    const double s = r * (1 + r2 * (s3 + r2 * (s5 + r2 * (s7 + r2 * (s9 + r2 * s11)))));
    const double c = 1 + r2 * (c2 + r2 * (c4 + r2 * (c6 + r2 * (c8 + r2 * (c10 + r2 * c12)))));
    const auto quadrant = static_cast<long long>(k) & 3;
    sine = quadrant == 0 ? s : quadrant == 1 ? c : quadrant == 2 ? -s : -c;
    cosine = quadrant == 0 ? c : quadrant == 1 ? -s : quadrant == 2 ? -c : s;
}

double atan2Of(double y, double x)
{
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    const double num = std::min(ax, ay);
    const double den = std::max(ax, ay);
    if (den == 0) {
        return 0;
    }
    // The octant by arithmetic rather than branches: a spinning body crosses them at random, and
    // a mispredicted branch costs more than the whole series.
    const double angle = atanRatio(num, den);
    const auto steep = static_cast<double>(ay > ax);
    const auto behind = static_cast<double>(x < 0);
    const auto below = static_cast<double>(y < 0);
    const double first = angle + steep * (kPi / 2 - 2 * angle); // 0 .. pi / 2
    const double half = first + behind * (kPi - 2 * first);     // 0 .. pi
    return half * (1 - 2 * below);
}

} // namespace sim
