// The next attempt: fold the last interval into the mean, pick a new ball target, and put the car
// on the far side of the target and throw it there. The order of host calls is part of the
// behaviour: every read of a range variable draws a fresh number.

#include <algorithm>
#include <cstdint>
#include <string>

#include "Volanko/VectorMath.h"
#include "Volanko/Volanko.h"

namespace {

constexpr float kLowestStartHeight = 1000;
constexpr float kStartBoundX = 3000;
constexpr float kStartBoundY = 2500;

enum class ThrowLevel { Beginner, Easy, Normal, Hard, Pro, None };

// Reads the three location variables as the drill does: three lookups z, y, x, then three reads
// in the same order.
Vector readLocation(CVarManagerWrapper& cvars)
{
    CVarWrapper zVar = cvars.getCvar("volanko_balllocation_z");
    CVarWrapper yVar = cvars.getCvar("volanko_balllocation_y");
    CVarWrapper xVar = cvars.getCvar("volanko_balllocation_x");
    const float z = zVar.getFloatValue();
    const float y = yVar.getFloatValue();
    const float x = xVar.getFloatValue();
    return {x, y, z};
}

// The level is looked up and read once per comparison, so a variable that changes between
// reads is seen as the host gives it.
ThrowLevel readThrowLevel(CVarManagerWrapper& cvars)
{
    static constexpr const char* kTexts[] = {"beginner", "easy", "normal", "hard", "pro"};
    for (int level = 0; level < 5; ++level) {
        if (cvars.getCvar("volanko_throwlevel").getStringValue() == kTexts[level]) {
            return static_cast<ThrowLevel>(level);
        }
    }
    return ThrowLevel::None;
}

// A NaN comes through as it is.
float limitAndMirror(float value, float bound, float target)
{
    value = std::clamp(value, -bound, bound);
    // The car starts on the other side of the plane through 0 from the target; 0 on either side
    // leaves it where it is.
    if (value < 0 && target < 0) {
        value *= -1;
    }
    if (value > 0 && target > 0) {
        value *= -1;
    }
    return value;
}

} // namespace

void Volanko::resetAndThrow()
{
    if (!drillGuard()) {
        return;
    }
    ServerWrapper server = gameWrapperHandle->GetGameEventAsServer();

    if (lastResetTime != 0) {
        const float now = server.GetSecondsElapsed();
        // Widened before the + 1 so that a saturated streak cannot overflow.
        const float intervals = static_cast<float>(currentStreak);
        const float intervalsAfter = static_cast<float>(static_cast<int64_t>(currentStreak) + 1);
        averageTime = (intervals * averageTime + (now - lastResetTime)) / intervalsAfter;
    }
    lastResetTime = server.GetSecondsElapsed();

    CVarManagerWrapper& cvars = *cvarManagerHandle;
    ballTarget = readLocation(cvars);

    if (!cvars.getCvar("volanko_throwplayer").getBoolValue()) {
        return;
    }

    ArrayWrapper<CarWrapper> cars = server.GetCars();
    CarWrapper car = cars.Get(0);
    // A real host crashes on a call into a wrapper that holds nothing: no car, no throw.
    if (car.IsNull()) {
        return;
    }

    Vector start = readLocation(cvars);
    start.z = std::max(start.z, kLowestStartHeight);
    start.x = limitAndMirror(start.x, kStartBoundX, ballTarget.x);
    start.y = limitAndMirror(start.y, kStartBoundY, ballTarget.y);

    Rotator rotation;
    {
        BallWrapper ball = server.GetGameBalls().Get(0);
        if (ball.IsNull()) {
            return;
        }
        rotation = ball.GetRotation();
    }

    // From the start to the target; divided by its length, as scaling by the inverse would round
    // differently.
    Vector direction = add(ballTarget, scale(start, -1));
    const float distance = length(direction);
    direction = {direction.x / distance, direction.y / distance, direction.z / distance};
    // Never thrown downwards; the shortened vector is kept as it is.
    direction.z = std::max(direction.z, 0.0f);

    const ThrowLevel level = readThrowLevel(cvars);
    if (level == ThrowLevel::None) {
        return;
    }

    car.SetVelocity({0, 0, 0});
    if (isFinite(start)) {
        car.SetLocation(start);
    }
    Vector spin{0, 0, 0};
    if (level == ThrowLevel::Pro) {
        spin = server.GetGameBalls().Get(0).GetAngularVelocity();
    }
    car.SetAngularVelocity(spin, false);
    if (level == ThrowLevel::Beginner || level == ThrowLevel::Easy) {
        rotation.pitch = 0;
        rotation.roll = 0;
    } else if (level == ThrowLevel::Normal) {
        rotation.pitch = 0;
    }
    car.SetRotation(rotation);
    if (level != ThrowLevel::Beginner) {
        const float factor = level == ThrowLevel::Pro ? 1500.0f : 1000.0f;
        const Vector added = scale(direction, factor);
        // A zero-length direction (start on the target) or an overflowing one throws nothing.
        if (isFinite(added)) {
            car.AddVelocity(added);
        }
    }
}
