// The overlay: current and mean time, current and best streak, and a banner after a failed run.

#include <cstdint>

#include "Volanko/HudText.h"
#include "Volanko/Volanko.h"

namespace {

constexpr LinearColor kTextColor{255, 255, 255, 255};
constexpr LinearColor kBannerColor{255, 0, 0, 255};

// Canvas arithmetic wraps instead of overflowing, whatever size the host reports.
int32_t offset(int32_t base, int32_t delta)
{
    return static_cast<int32_t>(static_cast<int64_t>(base) + delta);
}

} // namespace

void Volanko::renderHud(CanvasWrapper canvas)
{
    if (!gameWrapperHandle->IsInFreeplay()) {
        return;
    }
    if (!active) {
        return;
    }
    holdBallAndWatchCar();

    // Declared in fetching order, so they are released car, ball, server, camera.
    CameraWrapper camera = gameWrapperHandle->GetCamera();
    if (camera.IsNull()) {
        return;
    }
    ServerWrapper server = gameWrapperHandle->GetGameEventAsServer();
    if (server.IsNull()) {
        return;
    }
    BallWrapper ball = server.GetBall();
    if (ball.IsNull()) {
        return;
    }
    CarWrapper car = gameWrapperHandle->GetLocalCar();
    if (car.IsNull()) {
        return;
    }

    const Vector2 size = canvas.GetSize();
    const int32_t cx = size.x / 2;
    const int32_t left = offset(cx, -100);
    const int32_t right = offset(cx, 100);
    const int32_t upper = offset(size.y, -60);
    const int32_t lower = offset(size.y, -30);

    HudText text;
    canvas.SetColor(kTextColor);
    canvas.SetPosition({left, lower});
    canvas.DrawString(text.fixed("Current Time: ", server.GetSecondsElapsed() - lastResetTime));
    canvas.SetPosition({right, upper});
    canvas.DrawString(text.decimal("Current Streak: ", currentStreak));
    canvas.SetPosition({right, lower});
    canvas.DrawString(text.decimal("Best Streak: ", bestStreak));
    canvas.SetPosition({left, upper});
    canvas.DrawString(text.fixed("Average Time: ", averageTime));

    if (failedUntil > server.GetSecondsElapsed()) {
        canvas.SetColor(kBannerColor);
        canvas.SetPosition({offset(size.x / 2, -120), offset(size.y / 2, -50)});
        canvas.DrawString("Failed!", 5.0f, 5.0f);
    }
}
