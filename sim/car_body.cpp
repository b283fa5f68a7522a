#include "sim/car_body.h"

#include <algorithm>
#include <cmath>

#include "sim/angles.h"
#include "sim/vector3.h"

namespace sim {

namespace {

constexpr Vector kHalf{kHitboxLength / 2, kHitboxWidth / 2, kHitboxHeight / 2};

// Radians in [-pi, pi] (an arc tangent's) to the host's units, the half turn as -32768.
int32_t rounded(double radians)
{
    const double units = radians * kRotatorUnitsPerRadian;
    // Half away from zero; the sign copied rather than branched on, as a spinning body's changes.
    auto whole = static_cast<int32_t>(units + std::copysign(0.5, units));
    return whole > 32767 ? whole - 65536 : whole < -32768 ? whole + 65536 : whole;
}

// `v` brought back to unit length when it is within a few float steps of it, as a tick's turn
// leaves an axis: one step of Newton's method for 1 / sqrt, no root and no division.
Vector renormalized(const Vector& v)
{
    return v * (1.5f - 0.5f * dot(v, v));
}

} // namespace

Vector Frame::toWorld(const Vector& local) const
{
    return forward * local.x + left * local.y + up * local.z;
}

Vector Frame::toLocal(const Vector& world) const
{
    return {dot(world, forward), dot(world, left), dot(world, up)};
}

namespace {

// The sine and cosine of a whole number of the host's units, from two tables of 256: the units'
// high byte and their low byte, joined by the sum formula. The autopilot reads the car's frame
// from its rotation every frame; three series there would cost more than the rest of its look.
struct UnitSines {
    double sineHigh[256], cosineHigh[256]; // of k * 256 units
    double sineLow[256], cosineLow[256];   // of k units

    UnitSines()
    {
        for (int k = 0; k < 256; ++k) {
            sinCos(k * 256 / kRotatorUnitsPerRadian, sineHigh[k], cosineHigh[k]);
            sinCos(k / kRotatorUnitsPerRadian, sineLow[k], cosineLow[k]);
        }
    }

    void of(int32_t units, double& sine, double& cosine) const
    {
        const uint32_t turn = static_cast<uint32_t>(units) & 0xffff; // a whole turn is 65536
        const uint32_t high = turn >> 8;
        const uint32_t low = turn & 0xff;
        sine = sineHigh[high] * cosineLow[low] + cosineHigh[high] * sineLow[low];
        cosine = cosineHigh[high] * cosineLow[low] - sineHigh[high] * sineLow[low];
    }
};

// Made at the first use, whatever static object asks first.
const UnitSines& unitSines()
{
    static const UnitSines sines;
    return sines;
}

} // namespace

Frame frameOf(const Rotator& rotation)
{
    // In doubles, rounded to floats once at the end.
    double cp = 0, sp = 0, cy = 0, sy = 0, cr = 0, sr = 0;
    const UnitSines& sines = unitSines();
    sines.of(rotation.pitch, sp, cp);
    sines.of(rotation.yaw, sy, cy);
    sines.of(rotation.roll, sr, cr);
    // Unrolled: left is level and up leans back as the nose rises; roll turns both about the nose.
    const double left0[3] = {-sy, cy, 0};
    const double up0[3] = {-sp * cy, -sp * sy, cp};
    const auto f = [](double value) { return static_cast<float>(value); };
    return {{f(cp * cy), f(cp * sy), f(sp)},
            {f(left0[0] * cr + up0[0] * sr), f(left0[1] * cr + up0[1] * sr), f(left0[2] * cr + up0[2] * sr)},
            {f(up0[0] * cr - left0[0] * sr), f(up0[1] * cr - left0[1] * sr), f(up0[2] * cr - left0[2] * sr)}};
}

Rotator rotatorOf(const Frame& frame)
{
    const Vector& f = frame.forward;
    const Vector& l = frame.left;
    // The pitch's and the heading's cosines and sines come from the nose itself, each pair scaled
    // alike (which leaves an arc tangent as it is): the heading's by the pitch's cosine, the
    // roll's by it too. One root, no division beyond the arc tangents' own.
    const double fx = f.x;
    const double fy = f.y;
    const double level2 = fx * fx + fy * fy; // the pitch's cosine, squared
    const double sp = f.z;
    if (level2 > 1e-12) {
        const double alongLeft = -fy * l.x + fx * l.y;
        const double alongUp = -sp * (fx * l.x + fy * l.y) + level2 * l.z;
        return {rounded(atan2Of(sp, std::sqrt(level2))), rounded(atan2Of(fy, fx)),
                rounded(atan2Of(alongUp, alongLeft))};
    }
    // Nose straight up or down: the heading is the one that leaves no roll, read from the left
    // side, which then lies level at unit length.
    const bool sideways = l.x != 0 || l.y != 0;
    const double cy = sideways ? l.y : 1;
    const double sy = sideways ? -l.x : 0;
    const double cp = std::sqrt(level2);
    return {rounded(atan2Of(sp, cp)), rounded(atan2Of(sy, cy)),
            rounded(atan2Of(-sp * cy * l.x - sp * sy * l.y + cp * l.z, -sy * l.x + cy * l.y))};
}

Frame turned(const Frame& frame, const Vector& spin, float seconds)
{
    const float rate2 = dot(spin, spin);
    const float a2 = rate2 * seconds * seconds; // the angle, squared
    if (!(a2 > 1e-18f)) {
        return frame;
    }
    // Rodrigues' turn about the spin's axis, written with the spin itself so that neither its
    // length nor its axis is needed: v cos a + (w x v) sin a / |w| + w (w . v)(1 - cos a) / |w|².
    // A tick turns a body by at most a few hundredths of a radian, where these series are exact to
    // a float's last bit: no library call, and the same bits on every system.
    float c = 1 - a2 / 2 * (1 - a2 / 12 * (1 - a2 / 30));
    float sinOverRate = seconds * (1 - a2 / 6 * (1 - a2 / 20 * (1 - a2 / 42)));
    float versinOverRate2 = seconds * seconds / 2 * (1 - a2 / 12 * (1 - a2 / 30));
    if (a2 > 0.01f) { // more than a tick's: the full functions
        const float rate = std::sqrt(rate2);
        double sine = 0, cosine = 0;
        sinCos(rate * seconds, sine, cosine);
        c = static_cast<float>(cosine);
        sinOverRate = static_cast<float>(sine) / rate;
        versinOverRate2 = (1 - c) / rate2;
    }
    const auto turn = [&](const Vector& v) {
        return v * c + cross(spin, v) * sinOverRate + spin * (dot(spin, v) * versinOverRate2);
    };
    Frame next;
    next.forward = renormalized(turn(frame.forward));
    const Vector left = turn(frame.left);
    next.left = renormalized(left - next.forward * dot(left, next.forward));
    next.up = cross(next.forward, next.left);
    return next;
}

Vector hitboxCentre(const Vector& origin, const Frame& frame)
{
    return origin + frame.toWorld(kHitboxOffset);
}

Vector nearestOnHitbox(const Vector& origin, const Frame& frame, const Vector& point)
{
    const Vector centre = hitboxCentre(origin, frame);
    const Vector local = frame.toLocal(point - centre);
    const Vector inside{std::clamp(local.x, -kHalf.x, kHalf.x), std::clamp(local.y, -kHalf.y, kHalf.y),
                        std::clamp(local.z, -kHalf.z, kHalf.z)};
    return centre + frame.toWorld(inside);
}

float hitboxDepthBehind(const Vector& origin, const Frame& frame, const Vector& planePoint, const Vector& normal)
{
    const Vector centre = hitboxCentre(origin, frame);
    const float reach = kHalf.x * std::fabs(dot(frame.forward, normal)) + kHalf.y * std::fabs(dot(frame.left, normal)) +
                        kHalf.z * std::fabs(dot(frame.up, normal));
    return reach - dot(centre - planePoint, normal);
}

} // namespace sim
