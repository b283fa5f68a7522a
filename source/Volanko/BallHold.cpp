// The drill's per-frame step: the ball hangs still at its target; the car leaving ground and
// walls begins a run, and touching either again ends it.

#include <algorithm>

#include "Volanko/VectorMath.h"
#include "Volanko/Volanko.h"

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
                // Kept inside the pitch, whatever the target; the target itself stays as drawn. A NaN
                // passes the clamp and is stopped by the finiteness check.
                const Vector location{std::clamp(ballTarget.x, -4000.0f, 4000.0f),
                                      std::clamp(ballTarget.y, -5000.0f, 5000.0f),
                                      std::clamp(ballTarget.z, 100.0f, 1900.0f)};
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
