#pragma once
// Things in the world: the ball, the cars, the camera, and (as the game event) the server.

#include "bakkesmod/wrappers/objectwrapper.h"
#include "bakkesmod/wrappers/values.h"

class ActorWrapper : public ObjectWrapper {
public:
    using ObjectWrapper::ObjectWrapper;

    bool IsNull() const; // holds no live object

    Vector GetLocation() const;
    void SetLocation(Vector location); // world units
    Vector GetVelocity() const;
    void SetVelocity(Vector velocity); // world units per second
    void AddVelocity(Vector velocity); // added to the current velocity
    Rotator GetRotation() const;
    void SetRotation(Rotator rotation);
    Vector GetAngularVelocity() const;
    void SetAngularVelocity(Vector spin, bool addToCurrent); // radians per second
};

class BallWrapper : public ActorWrapper {
public:
    using ActorWrapper::ActorWrapper;
};

class CameraWrapper : public ActorWrapper {
public:
    using ActorWrapper::ActorWrapper;
};

class VehicleWrapper : public ActorWrapper {
public:
    using ActorWrapper::ActorWrapper;

    bool IsOnGround() const; // wheels on the floor
    bool IsOnWall() const;   // touching a side or back wall
};

class CarWrapper : public VehicleWrapper {
public:
    using VehicleWrapper::VehicleWrapper;
};
