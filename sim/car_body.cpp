#include "sim/car_body.h"

#include <algorithm>
#include <cmath>

#include "sim/angles.h"
#include "sim/vector3.h"

namespace sim {

namespace {

constexpr Vector kHalf{kHitboxLength / 2, kHitboxWidth / 2, kHitboxHeight / 2};

int32_t rounded(double radians)
{
    auto units = static_cast<int64_t>(std::llround(radians * kRotatorUnitsPerRadian));
    units = ((units + 32768) % 65536 + 65536) % 65536 - 32768;
    return static_cast<int32_t>(units);
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

Frame frameOf(const Rotator& rotation)
{
    // In doubles, rounded to floats once at the end.
    double cp = 0, sp = 0, cy = 0, sy = 0, cr = 0, sr = 0;
    sinCos(rotation.pitch / kRotatorUnitsPerRadian, sp, cp);
    sinCos(rotation.yaw / kRotatorUnitsPerRadian, sy, cy);
    sinCos(rotation.roll / kRotatorUnitsPerRadian, sr, cr);
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
    // The pitch's and the heading's cosines and sines come from the nose itself; only the angles
    // need the inverse function, in doubles as above.
    const double cp = std::sqrt(static_cast<double>(f.x) * f.x + static_cast<double>(f.y) * f.y);
    const double sp = f.z;
    double cy = 1, sy = 0;
    if (cp > 1e-6) {
        cy = f.x / cp;
        sy = f.y / cp;
    } else if (const double side = std::sqrt(static_cast<double>(l.x) * l.x + static_cast<double>(l.y) * l.y);
               side > 0) {
        // Nose straight up or down: the heading is the one that leaves no roll.
        cy = l.y / side;
        sy = -l.x / side;
    }
    const double alongLeft0 = -sy * l.x + cy * l.y;
    const double alongUp0 = -sp * cy * l.x - sp * sy * l.y + cp * l.z;
    return {rounded(atan2Of(sp, cp)), rounded(atan2Of(sy, cy)), rounded(atan2Of(alongUp0, alongLeft0))};
}

Frame turned(const Frame& frame, const Vector& spin, float seconds)
{
    const float rate = std::sqrt(dot(spin, spin));
    const float angle = rate * seconds;
    if (!(angle > 1e-9f)) {
        return frame;
    }
    const Vector axis = spin * (1 / rate);
    // A tick turns a body by at most a few hundredths of a radian, where these series are exact to
    // a float's last bit: no library call, and the same bits on every system.
    const float a2 = angle * angle;
    float c = 1 - a2 / 2 * (1 - a2 / 12 * (1 - a2 / 30));
    float s = angle * (1 - a2 / 6 * (1 - a2 / 20 * (1 - a2 / 42)));
    if (angle > 0.1f) { // more than a tick's: the full series
        double sine = 0, cosine = 0;
        sinCos(angle, sine, cosine);
        s = static_cast<float>(sine);
        c = static_cast<float>(cosine);
    }
    const auto turn = [&](const Vector& v) { return v * c + cross(axis, v) * s + axis * (dot(axis, v) * (1 - c)); };
    Frame next;
    next.forward = unit(turn(frame.forward), frame.forward);
    const Vector left = turn(frame.left);
    next.left = unit(left - next.forward * dot(left, next.forward), frame.left);
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
