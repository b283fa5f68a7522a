#pragma once
// The game as a whole. One belongs to each loaded plug-in; its hooks and drawables are removed by
// the host when that plug-in is unloaded, so the host never calls into a closed library.

#include <functional>
#include <string>

#include "bakkesmod/wrappers/actorwrapper.h"
#include "bakkesmod/wrappers/canvaswrapper.h"
#include "bakkesmod/wrappers/gameeventwrapper.h"

// The game function that runs whenever a car touches the ball, as HookEvent names it.
inline constexpr const char* kBallHitEvent = "Function TAGame.Car_TA.EventHitBall";

class GameWrapper : public ObjectWrapper {
public:
    using ObjectWrapper::ObjectWrapper;

    bool IsInFreeplay() const;
    ServerWrapper GetGameEventAsServer() const; // holds nothing outside a game event
    CarWrapper GetLocalCar() const;             // the player's car; may hold nothing
    CameraWrapper GetCamera() const;            // may hold nothing

    // `callback` runs, with the event's name, every time the named game function runs.
    void HookEvent(std::string eventName, std::function<void(std::string)> callback);
    // `callback` runs once per drawn frame with that frame's canvas.
    void RegisterDrawable(std::function<void(CanvasWrapper)> callback);
};
