#include "sim/angles.h"

#include <cmath>

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Pi over two in two parts, the first with its low bits zero, so that k times it is exact.
constexpr double kHalfPiHigh = 1.5707963267341256e+00;
constexpr double kHalfPiLow = 6.0771005065061922e-11;

// The arc tangent of t in [0, 1]: the angle halved twice (tan(a/2) = t / (1 + sqrt(1 + t²)))
// leaves t below 0.2, where the series to t^13 is within 1e-11.
double atanUnit(double t)
{
    t = t / (1 + std::sqrt(1 + t * t));
    t = t / (1 + std::sqrt(1 + t * t));
    const double t2 = t * t;
    constexpr double c3 = -1.0 / 3, c5 = 1.0 / 5, c7 = -1.0 / 7, c9 = 1.0 / 9, c11 = -1.0 / 11, c13 = 1.0 / 13;
    return 4 * t * (1 + t2 * (c3 + t2 * (c5 + t2 * (c7 + t2 * (c9 + t2 * (c11 + t2 * c13))))));
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
    if (ax == 0 && ay == 0) {
        return 0;
    }
    double angle = ay > ax ? kPi / 2 - atanUnit(ax / ay) : atanUnit(ay / ax);
    if (x < 0) {
        angle = kPi - angle;
    }
    return y < 0 ? -angle : angle;
}

} // namespace sim
