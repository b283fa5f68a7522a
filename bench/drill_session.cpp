#include "bench/drill_session.h"

#include <string_view>
#include <utility>
#include <vector>

namespace bench {

namespace {

// Game seconds: the run begins at the first and the timed frames are drawn at the second, so
// the overlay shows a current time of 3.25 and the hits fold a real interval into the mean.
constexpr double kRunStart = 100;
constexpr double kFrameTime = 103.25;

// What the plug-in passes in this session for a 1920 × 1080 canvas.
constexpr LinearColor kTextColor{255, 255, 255, 255};
constexpr Vector2 kLeftLower{860, 1050};
constexpr Vector2 kRightUpper{1060, 1020};
constexpr Vector2 kRightLower{1060, 1050};
constexpr Vector2 kLeftUpper{860, 1020};

// A car start and a throw of the kind the plug-in passes for a hit at level "pro"; the plug-in's
// own come from freshly drawn numbers, and cost the host the same.
constexpr Vector kCarStart{-561.789f, 2500, 1243.4161f};
constexpr Vector kThrow{312.7275f, -1465.1976f, 0};

void readLocation(CVarManagerWrapper& cvars)
{
    CVarWrapper z = cvars.getCvar("volanko_balllocation_z");
    CVarWrapper y = cvars.getCvar("volanko_balllocation_y");
    CVarWrapper x = cvars.getCvar("volanko_balllocation_x");
    z.getFloatValue();
    y.getFloatValue();
    x.getFloatValue();
}

} // namespace

std::string loadFailure(const runtime::LoadResult& loaded)
{
    return loaded.path + ": refused by the loader (reason " + std::to_string(static_cast<int>(loaded.problem)) + ")" +
           (loaded.detail.empty() ? "" : ": " + loaded.detail);
}

DrillSession::DrillSession()
{
    const runtime::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
    if (!loaded) {
        error = loadFailure(loaded);
        return;
    }
    plugin = loaded.plugin;
    for (const auto& [name, value] :
         {std::pair{"volanko_balllocation_x", "(-5000, 5000)"}, std::pair{"volanko_balllocation_y", "(-4000, 4000)"},
          std::pair{"volanko_balllocation_z", "(100, 1900)"}, std::pair{"volanko_throwlevel", "pro"}}) {
        if (!host.setVariable(name, value).empty()) {
            error = "the plug-in's console variables could not be set";
            return;
        }
    }
    host.driveWorld().setFreeplay(true);
    host.driveWorld().clock = kRunStart;
    host.runCommand({"volanko_start"});
    host.driveWorld().car()->contact = runtime::Contact::Air;
    // Takes off: the run begins, the ball gets its target and the car is thrown. The ball is moved
    // to that target in the frame after.
    host.drawFrame();
    host.driveWorld().clock = kFrameTime;
    host.drawFrame();
    heldBall_ = host.world().ball()->location;
    if (!host.faults().reports.empty()) {
        error = host.faults().reports.front();
    }
}

GameWrapper& DrillSession::game()
{
    return *host.findPlugin(plugin)->plugin->gameWrapperHandle;
}

CVarManagerWrapper& DrillSession::cvars()
{
    return *host.findPlugin(plugin)->plugin->cvarManagerHandle;
}

void DrillSession::floorFrame()
{
    GameWrapper& game = this->game();
    host.drawFrameWith([&](CanvasWrapper canvas) {
        game.IsInFreeplay();
        game.IsInFreeplay();
        {
            ServerWrapper server = game.GetGameEventAsServer();
            server.GetGameBalls().Count();
            BallWrapper ball = server.GetGameBalls().Get(0);
            ball.IsNull();
            ball.SetVelocity({0, 0, 0});
            ball.SetLocation(heldBall_);
        }
        {
            ServerWrapper server = game.GetGameEventAsServer();
            ArrayWrapper<CarWrapper> cars = server.GetCars();
            CarWrapper car = cars.Get(0);
            car.IsNull();
            car.IsOnGround();
            car.IsOnWall();
        }
        CameraWrapper camera = game.GetCamera();
        camera.IsNull();
        ServerWrapper server = game.GetGameEventAsServer();
        server.IsNull();
        BallWrapper ball = server.GetBall();
        ball.IsNull();
        CarWrapper car = game.GetLocalCar();
        car.IsNull();
        canvas.GetSize();
        canvas.SetColor(kTextColor);
        canvas.SetPosition(kLeftLower);
        server.GetSecondsElapsed();
        canvas.DrawString("Current Time: 3.250000");
        canvas.SetPosition(kRightUpper);
        canvas.DrawString("Current Streak: 0");
        canvas.SetPosition(kRightLower);
        canvas.DrawString("Best Streak: 0");
        canvas.SetPosition(kLeftUpper);
        canvas.DrawString("Average Time: 0.000000");
        server.GetSecondsElapsed();
    });
}

void DrillSession::floorHit()
{
    GameWrapper& game = this->game();
    CVarManagerWrapper& cvars = this->cvars();
    game.IsInFreeplay();
    game.IsInFreeplay();
    ServerWrapper server = game.GetGameEventAsServer();
    server.GetSecondsElapsed();
    server.GetSecondsElapsed();
    readLocation(cvars);
    cvars.getCvar("volanko_throwplayer").getBoolValue();
    ArrayWrapper<CarWrapper> cars = server.GetCars();
    CarWrapper car = cars.Get(0);
    car.IsNull();
    readLocation(cvars);
    Rotator rotation;
    {
        BallWrapper ball = server.GetGameBalls().Get(0);
        ball.IsNull();
        rotation = ball.GetRotation();
    }
    for (int level = 0; level < 5; ++level) {
        cvars.getCvar("volanko_throwlevel").getStringValue();
    }
    car.SetVelocity({0, 0, 0});
    car.SetLocation(kCarStart);
    const Vector spin = server.GetGameBalls().Get(0).GetAngularVelocity();
    car.SetAngularVelocity(spin, false);
    car.SetRotation(rotation);
    car.AddVelocity(kThrow);
}

namespace {

// Calls whose arguments or results come from numbers drawn out of the range variables.
bool drawnArguments(std::string_view call)
{
    return call == "ActorWrapper::SetLocation" || call == "ActorWrapper::AddVelocity";
}

bool drawnResult(std::string_view call)
{
    return call == "CVarWrapper::getFloatValue";
}

std::string firstDifference(const char* what, const std::vector<runtime::TraceEntry>& plugin,
                            const std::vector<runtime::TraceEntry>& floor, bool drawn)
{
    for (size_t i = 0; i < plugin.size() || i < floor.size(); ++i) {
        if (i == plugin.size() || i == floor.size()) {
            std::string message = what;
            message += ": the plug-in made ";
            message += std::to_string(plugin.size());
            message += " calls, the floor ";
            message += std::to_string(floor.size());
            return message;
        }
        const runtime::TraceEntry& mine = plugin[i];
        const runtime::TraceEntry& theirs = floor[i];
        const std::string_view call = mine.call;
        const bool same = call == theirs.call && mine.self == theirs.self &&
                          ((drawn && drawnArguments(call)) || mine.args == theirs.args) &&
                          ((drawn && drawnResult(call)) || mine.result == theirs.result);
        if (!same) {
            std::string message = what;
            message += ": call ";
            message += std::to_string(i);
            message += " was ";
            message += mine.json();
            message += " from the plug-in but ";
            message += theirs.json();
            message += " from the floor";
            return message;
        }
    }
    return {};
}

std::vector<runtime::TraceEntry> taken(runtime::Host& host)
{
    std::vector<runtime::TraceEntry> entries = host.trace().entries();
    host.clearTrace();
    return entries;
}

} // namespace

std::string floorMismatch()
{
    DrillSession session;
    if (!session.ready()) {
        return session.error;
    }
    runtime::Host& host = session.host;
    host.clearTrace();
    host.switchTrace(true);

    host.drawFrame();
    const std::vector<runtime::TraceEntry> pluginFrame = taken(host);
    session.floorFrame();
    const std::vector<runtime::TraceEntry> floorFrame = taken(host);
    if (std::string difference = firstDifference("frame", pluginFrame, floorFrame, false); !difference.empty()) {
        return difference;
    }

    session.host.fireEvent(runtime::kBallHitEvent);
    const std::vector<runtime::TraceEntry> pluginHit = taken(host);
    session.floorHit();
    const std::vector<runtime::TraceEntry> floorHit = taken(host);
    return firstDifference("hit", pluginHit, floorHit, true);
}

} // namespace bench
