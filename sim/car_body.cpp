#include "sim/car_body.h"

#include <algorithm>
#include <cmath>

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
    constexpr auto kRadiansPerUnit = static_cast<float>(1 / kRotatorUnitsPerRadian);
    const float pitch = static_cast<float>(rotation.pitch) * kRadiansPerUnit;
    const float yaw = static_cast<float>(rotation.yaw) * kRadiansPerUnit;
    const float roll = static_cast<float>(rotation.roll) * kRadiansPerUnit;
    const float cp = std::cos(pitch), sp = std::sin(pitch);
    const float cy = std::cos(yaw), sy = std::sin(yaw);
    const float cr = std::cos(roll), sr = std::sin(roll);
    // Unrolled: left is level and up leans back as the nose rises; roll turns both about the nose.
    const Vector left0{-sy, cy, 0};
    const Vector up0{-sp * cy, -sp * sy, cp};
    return {{cp * cy, cp * sy, sp}, left0 * cr + up0 * sr, up0 * cr - left0 * sr};
}

Rotator rotatorOf(const Frame& frame)
{
    const Vector& f = frame.forward;
    const Vector& l = frame.left;
    // The pitch's and the heading's cosines and sines come from the nose itself; only the angles
    // need the inverse functions.
    const float cp = std::sqrt(f.x * f.x + f.y * f.y);
    const float sp = f.z;
    float cy = 1, sy = 0;
    if (cp > 1e-6f) {
        cy = f.x / cp;
        sy = f.y / cp;
    } else if (const float side = std::sqrt(l.x * l.x + l.y * l.y); side > 0) {
        // Nose straight up or down: the heading is the one that leaves no roll.
        cy = l.y / side;
        sy = -l.x / side;
    }
    const float alongLeft0 = -sy * l.x + cy * l.y;
    const float alongUp0 = -sp * cy * l.x - sp * sy * l.y + cp * l.z;
    return {rounded(std::atan2(sp, cp)), rounded(std::atan2(sy, cy)), rounded(std::atan2(alongUp0, alongLeft0))};
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
    const bool small = angle <= 0.1f;
    const float c = small ? 1 - a2 / 2 * (1 - a2 / 12 * (1 - a2 / 30)) : std::cos(angle);
    const float s = small ? angle * (1 - a2 / 6 * (1 - a2 / 20 * (1 - a2 / 42))) : std::sin(angle);
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
