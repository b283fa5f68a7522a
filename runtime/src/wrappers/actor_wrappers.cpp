// Actors, the game event and its lists, read and written straight in the world.

#include <type_traits>
#include <vector>

#include "bakkesmod/wrappers/gameeventwrapper.h"
#include "runtime/src/call.h"
#include "runtime/vector_math.h"

using runtime::Actor;
using runtime::ActorKind;
using runtime::Call;
using runtime::Host;
using runtime::hostOf;
using runtime::isFinite;

namespace {

Actor* actorOf(const ObjectWrapper& wrapper)
{
    return hostOf(wrapper) ? hostOf(wrapper)->driveWorld().find(wrapper.object()) : nullptr;
}

// The common shape of a getter: traced, and zero from a wrapper that holds nothing.
template <class T, class Read> T get(const ObjectWrapper& wrapper, const char* name, Read read)
{
    Call call(hostOf(wrapper), name);
    Actor* actor = actorOf(wrapper);
    call.self(actor);
    if (!actor) {
        call.nullReceiver();
        return call.result(T{});
    }
    return call.result(read(*actor));
}

// The common shape of a vector setter: traced, refused when it holds nothing or is not finite.
// `more` are the call's arguments after the vector, traced only.
template <class Write, class... More>
void setVector(const ObjectWrapper& wrapper, const char* name, const Vector& value, Write write, const More&... more)
{
    Call call(hostOf(wrapper), name);
    Actor* actor = actorOf(wrapper);
    call.self(actor);
    call.arg(value);
    (call.arg(more), ...);
    if (!actor) {
        call.nullReceiver();
        return;
    }
    if (!isFinite(value)) {
        call.nonFiniteArgument();
        return;
    }
    write(*actor);
    call.actorChanged(*actor, value);
}

} // namespace

bool ActorWrapper::IsNull() const
{
    Call call(hostOf(*this), "ActorWrapper::IsNull");
    const Actor* actor = actorOf(*this);
    call.self(actor);
    return call.result(actor == nullptr);
}

Vector ActorWrapper::GetLocation() const
{
    return get<Vector>(*this, "ActorWrapper::GetLocation", [](const Actor& a) { return a.location; });
}

void ActorWrapper::SetLocation(Vector location)
{
    setVector(*this, "ActorWrapper::SetLocation", location, [&](Actor& a) { a.location = location; });
}

Vector ActorWrapper::GetVelocity() const
{
    return get<Vector>(*this, "ActorWrapper::GetVelocity", [](const Actor& a) { return a.velocity; });
}

void ActorWrapper::SetVelocity(Vector velocity)
{
    setVector(*this, "ActorWrapper::SetVelocity", velocity, [&](Actor& a) { a.velocity = velocity; });
}

void ActorWrapper::AddVelocity(Vector velocity)
{
    setVector(*this, "ActorWrapper::AddVelocity", velocity,
              [&](Actor& a) { a.velocity = runtime::add(a.velocity, velocity); });
}

Rotator ActorWrapper::GetRotation() const
{
    return get<Rotator>(*this, "ActorWrapper::GetRotation", [](const Actor& a) { return a.rotation; });
}

void ActorWrapper::SetRotation(Rotator rotation)
{
    Call call(hostOf(*this), "ActorWrapper::SetRotation");
    Actor* actor = actorOf(*this);
    call.self(actor);
    call.arg(rotation);
    if (!actor) {
        call.nullReceiver();
        return;
    }
    actor->rotation = rotation;
}

Vector ActorWrapper::GetAngularVelocity() const
{
    return get<Vector>(*this, "ActorWrapper::GetAngularVelocity", [](const Actor& a) { return a.angularVelocity; });
}

void ActorWrapper::SetAngularVelocity(Vector spin, bool addToCurrent)
{
    setVector(
        *this, "ActorWrapper::SetAngularVelocity", spin,
        [&](Actor& a) { a.angularVelocity = runtime::add(addToCurrent ? a.angularVelocity : Vector{}, spin); },
        addToCurrent);
}

bool VehicleWrapper::IsOnGround() const
{
    return get<bool>(*this, "VehicleWrapper::IsOnGround",
                     [](const Actor& a) { return a.contact == runtime::Contact::Ground; });
}

bool VehicleWrapper::IsOnWall() const
{
    return get<bool>(*this, "VehicleWrapper::IsOnWall",
                     [](const Actor& a) { return a.contact == runtime::Contact::Wall; });
}

namespace {

// A list wrapper refers to the server; it holds nothing once the server is gone.
template <class Element> ArrayWrapper<Element> listOf(const ObjectWrapper& server, const char* name)
{
    Call call(hostOf(server), name);
    const Actor* actor = actorOf(server);
    call.self(actor);
    if (!actor) {
        call.nullReceiver();
        call.resultText("");
        return {hostOf(server), 0};
    }
    call.resultText(std::is_same_v<Element, CarWrapper> ? "cars" : "balls");
    return {hostOf(server), actor->id};
}

template <class Element> const std::vector<uint32_t>& idsOf(const runtime::World& world)
{
    if constexpr (std::is_same_v<Element, CarWrapper>) {
        return world.cars;
    } else {
        return world.balls;
    }
}

} // namespace

ArrayWrapper<CarWrapper> GameEventWrapper::GetCars() const
{
    return listOf<CarWrapper>(*this, "GameEventWrapper::GetCars");
}

ArrayWrapper<BallWrapper> ServerWrapper::GetGameBalls() const
{
    return listOf<BallWrapper>(*this, "ServerWrapper::GetGameBalls");
}

float ServerWrapper::GetSecondsElapsed() const
{
    return get<float>(*this, "ServerWrapper::GetSecondsElapsed",
                      [this](const Actor&) { return static_cast<float>(hostOf(*this)->world().clock); });
}

BallWrapper ServerWrapper::GetBall() const
{
    Call call(hostOf(*this), "ServerWrapper::GetBall");
    const Actor* server = actorOf(*this);
    call.self(server);
    if (!server) {
        call.nullReceiver();
        call.resultObject(nullptr);
        return {hostOf(*this), 0};
    }
    const Actor* ball = hostOf(*this)->world().ball();
    call.resultObject(ball);
    return {hostOf(*this), ball ? ball->id : 0};
}

template <class T> int ArrayWrapper<T>::Count() const
{
    Call call(hostOf(*this), "ArrayWrapper::Count");
    call.self(std::is_same_v<T, CarWrapper> ? "cars" : "balls");
    if (!actorOf(*this)) {
        call.nullReceiver();
        return call.result(0);
    }
    return call.result(static_cast<int>(idsOf<T>(hostOf(*this)->world()).size()));
}

template <class T> T ArrayWrapper<T>::Get(int index) const
{
    Call call(hostOf(*this), "ArrayWrapper::Get");
    call.self(std::is_same_v<T, CarWrapper> ? "cars" : "balls");
    call.arg(index);
    if (!actorOf(*this)) {
        call.nullReceiver();
        call.resultObject(nullptr);
        return {hostOf(*this), 0};
    }
    const auto& ids = idsOf<T>(hostOf(*this)->world());
    const Actor* element = index >= 0 && static_cast<size_t>(index) < ids.size()
                               ? hostOf(*this)->world().find(ids[static_cast<size_t>(index)])
                               : nullptr;
    call.resultObject(element);
    return {hostOf(*this), element ? element->id : 0};
}

template class ArrayWrapper<CarWrapper>;
template class ArrayWrapper<BallWrapper>;
