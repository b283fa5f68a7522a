#include "sim/angles.h"

#include <cmath>

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Pi over two in two parts, the first with its low bits zero, so that k times it is exact.
constexpr double kHalfPiHigh = 1.5707963267341256e+00;
constexpr double kHalfPiLow = 6.0771005065061922e-11;

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

} // namespace sim
