// The game as each plug-in sees it: its state, and the hooks and drawables it registers.

#include <utility>

#include "bakkesmod/wrappers/gamewrapper.h"
#include "runtime/src/call.h"
#include "runtime/src/owner.h"

using runtime::Actor;
using runtime::Call;
using runtime::ownerLoaded;

namespace {

// The common shape of a getter of one of the game's actors: traced, and a wrapper that holds
// nothing once the plug-in is unloaded.
template <class Result, class Find> Result actorOf(const GameWrapper& game, const char* name, Find find)
{
    Call call(game.host(), name);
    if (!ownerLoaded(game)) {
        call.nullReceiver();
        return {game.host(), 0};
    }
    const Actor* actor = find(game.host()->world);
    call.resultObject(actor);
    return {game.host(), actor ? actor->id : 0};
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
    return actorOf<ServerWrapper>(*this, "GameWrapper::GetGameEventAsServer",
                                  [](const runtime::World& world) { return world.find(world.server); });
}

CarWrapper GameWrapper::GetLocalCar() const
{
    return actorOf<CarWrapper>(*this, "GameWrapper::GetLocalCar",
                               [](const runtime::World& world) { return world.car(); });
}

CameraWrapper GameWrapper::GetCamera() const
{
    return actorOf<CameraWrapper>(*this, "GameWrapper::GetCamera",
                                  [](const runtime::World& world) { return world.find(world.camera); });
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
