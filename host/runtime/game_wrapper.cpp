// The game as each plug-in sees it: its state, and the hooks and drawables it registers.

#include <utility>

#include "bakkesmod/wrappers/gamewrapper.h"
#include "call.h"
#include "owner.h"

using host::Actor;
using host::Call;
using host::ownerLoaded;

namespace {

template <class Result> Result actorResult(Call& call, host::Host* host, const Actor* actor)
{
    call.resultObject(actor);
    return {host, actor ? actor->id : 0};
}

} // namespace

bool GameWrapper::IsInFreeplay() const
{
    Call call(host(), "GameWrapper::IsInFreeplay");
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return call.result(false);
    }
    return call.result(host()->world.freeplay);
}

ServerWrapper GameWrapper::GetGameEventAsServer() const
{
    Call call(host(), "GameWrapper::GetGameEventAsServer");
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return {host(), 0};
    }
    return actorResult<ServerWrapper>(call, host(), host()->world.find(host()->world.server));
}

CarWrapper GameWrapper::GetLocalCar() const
{
    Call call(host(), "GameWrapper::GetLocalCar");
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return {host(), 0};
    }
    return actorResult<CarWrapper>(call, host(), host()->world.car());
}

CameraWrapper GameWrapper::GetCamera() const
{
    Call call(host(), "GameWrapper::GetCamera");
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return {host(), 0};
    }
    return actorResult<CameraWrapper>(call, host(), host()->world.find(host()->world.camera));
}

void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string)> callback)
{
    Call call(host(), "GameWrapper::HookEvent");
    call.arg(std::string_view(eventName));
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return;
    }
    host()->hooks.push_back({std::move(eventName), std::move(callback), object()});
}

void GameWrapper::RegisterDrawable(std::function<void(CanvasWrapper)> callback)
{
    Call call(host(), "GameWrapper::RegisterDrawable");
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return;
    }
    host()->drawables.push_back({std::move(callback), object()});
}
