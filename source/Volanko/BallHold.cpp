// The drill's per-frame step: the ball hangs still at its target; the car leaving ground and
// walls begins a run, and touching either again ends it.

#include "Volanko.h"

namespace {

float limit(float value, float low, float high)
{
    if (value < low) {
        return low;
    }
    if (value > high) {
        return high;
    }
    return value;
}

} // namespace

void Volanko::holdBallAndWatchCar()
{
    if (!drillGuard()) {
        return;
    }

    {
        ServerWrapper server = gameWrapperHandle->GetGameEventAsServer();
        if (server.GetGameBalls().Count() != 0) {
            BallWrapper ball = server.GetGameBalls().Get(0);
            if (!ball.IsNull()) {
                ball.SetVelocity({0, 0, 0});
                // Kept inside the pitch, whatever the target; the target itself stays as drawn.
                const Vector location{limit(ballTarget.x, -4000, 4000), limit(ballTarget.y, -5000, 5000),
                                      limit(ballTarget.z, 100, 1900)};
                if (isFinite(location)) {
                    ball.SetLocation(location);
                }
            }
        }
    }

    ServerWrapper server = gameWrapperHandle->GetGameEventAsServer();
    ArrayWrapper<CarWrapper> cars = server.GetCars();
    CarWrapper car = cars.Get(0);
    // Without a car there is nothing to watch; the run state waits as it is.
    if (car.IsNull()) {
        return;
    }
    const bool grounded = car.IsOnGround() || car.IsOnWall();
    if (!grounded && !airborne) {
        airborne = true;
        averageTime = 0;
        currentStreak = 0;
        resetAndThrow();
    } else if (grounded && airborne) {
        failedUntil = gameWrapperHandle->GetGameEventAsServer().GetSecondsElapsed() + 2.0f;
        airborne = false;
    }
}
