#pragma once
// The running game event. In free play the host gives it as a ServerWrapper.

#include "bakkesmod/wrappers/actorwrapper.h"
#include "bakkesmod/wrappers/arraywrapper.h"

class GameEventWrapper : public ActorWrapper {
public:
    using ActorWrapper::ActorWrapper;

    ArrayWrapper<CarWrapper> GetCars() const; // element 0 is the player's car in free play
};

class ServerWrapper : public GameEventWrapper {
public:
    using GameEventWrapper::GameEventWrapper;

    float GetSecondsElapsed() const;                // game seconds since the event began
    ArrayWrapper<BallWrapper> GetGameBalls() const; // every ball of the event
    BallWrapper GetBall() const;                    // the event's main ball
};
