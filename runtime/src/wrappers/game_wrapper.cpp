// The game as each plug-in sees it: its state, and the hooks and drawables it registers.

#include <utility>

#include "bakkesmod/wrappers/gamewrapper.h"
#include "runtime/src/call.h"
#include "runtime/src/owner.h"

using runtime::Actor;
using runtime::Call;
using runtime::hostOf;
using runtime::ownerLoaded;

namespace {

// The common shape of a getter of one of the game's actors: traced, and a wrapper that holds
// nothing once the plug-in is unloaded.
template <class Result, class Find> Result actorOf(const GameWrapper& game, const char* name, Find find)
{
    Call call(hostOf(game), name);
    if (!ownerLoaded(game)) {
        call.nullReceiver();
        return {hostOf(game), 0};
    }
    const Actor* actor = find(hostOf(game)->world());
    call.resultObject(actor);
    return {hostOf(game), actor ? actor->id : 0};
}

} // namespace

bool GameWrapper::IsInFreeplay() const
{
    Call call(hostOf(*this), "GameWrapper::IsInFreeplay");
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return call.result(false);
    }
    return call.result(hostOf(*this)->world().freeplay);
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
    Call call(hostOf(*this), "GameWrapper::HookEvent");
    call.arg(std::string_view(eventName));
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return;
    }
    hostOf(*this)->addHook({std::move(eventName), std::move(callback), object()});
}

void GameWrapper::RegisterDrawable(std::function<void(CanvasWrapper)> callback)
{
    Call call(hostOf(*this), "GameWrapper::RegisterDrawable");
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return;
    }
    hostOf(*this)->addDrawable({std::move(callback), object()});
}
