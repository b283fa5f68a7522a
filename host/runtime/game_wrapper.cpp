// The game and the console, as each plug-in sees them. Both wrappers carry the id of the plug-in
// they were made for, so that what it registers can be removed when it is unloaded.

#include <cmath>
#include <utility>

#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "bakkesmod/wrappers/gamewrapper.h"
#include "call.h"

using host::Actor;
using host::Call;

namespace {

// The game and console wrappers hold their plug-in's id; they hold nothing once it is unloaded.
bool owned(const ObjectWrapper& wrapper)
{
    return wrapper.host() && wrapper.host()->findPlugin(wrapper.object()) != nullptr;
}

template <class Result> Result actorResult(Call& call, host::Host* host, uint32_t id)
{
    const Actor* actor = host->world.find(id);
    call.resultObject(actor);
    return {host, actor ? actor->id : 0};
}

} // namespace

bool GameWrapper::IsInFreeplay() const
{
    Call call(host(), "GameWrapper::IsInFreeplay");
    if (!owned(*this)) {
        call.nullReceiver();
        return call.result(false);
    }
    return call.result(host()->world.freeplay);
}

ServerWrapper GameWrapper::GetGameEventAsServer() const
{
    Call call(host(), "GameWrapper::GetGameEventAsServer");
    if (!owned(*this)) {
        call.nullReceiver();
        return {host(), 0};
    }
    return actorResult<ServerWrapper>(call, host(), host()->world.server);
}

CarWrapper GameWrapper::GetLocalCar() const
{
    Call call(host(), "GameWrapper::GetLocalCar");
    if (!owned(*this)) {
        call.nullReceiver();
        return {host(), 0};
    }
    const auto& cars = host()->world.cars;
    return actorResult<CarWrapper>(call, host(), cars.empty() ? 0 : cars.front());
}

CameraWrapper GameWrapper::GetCamera() const
{
    Call call(host(), "GameWrapper::GetCamera");
    if (!owned(*this)) {
        call.nullReceiver();
        return {host(), 0};
    }
    return actorResult<CameraWrapper>(call, host(), host()->world.camera);
}

void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string)> callback)
{
    Call call(host(), "GameWrapper::HookEvent");
    call.arg(std::string_view(eventName));
    if (!owned(*this)) {
        call.nullReceiver();
        return;
    }
    host()->hooks.push_back({std::move(eventName), std::move(callback), object()});
}

void GameWrapper::RegisterDrawable(std::function<void(CanvasWrapper)> callback)
{
    Call call(host(), "GameWrapper::RegisterDrawable");
    if (!owned(*this)) {
        call.nullReceiver();
        return;
    }
    host()->drawables.push_back({std::move(callback), object()});
}

CVarWrapper CVarManagerWrapper::registerCvar(std::string name, std::string defaultValue, std::string description,
                                             bool searchable, bool hasMin, float min, bool hasMax, float max, bool save)
{
    Call call(host(), "CVarManagerWrapper::registerCvar");
    call.arg(std::string_view(name));
    call.arg(std::string_view(defaultValue));
    call.arg(std::string_view(description));
    call.arg(searchable);
    call.arg(hasMin);
    call.arg(min);
    call.arg(hasMax);
    call.arg(max);
    call.arg(save);
    if (!owned(*this)) {
        call.nullReceiver();
        return {host(), 0};
    }
    host::CVar cvar;
    cvar.name = std::move(name);
    cvar.defaultValue = std::move(defaultValue);
    cvar.description = std::move(description);
    cvar.searchable = searchable;
    cvar.hasMin = hasMin && std::isfinite(min);
    cvar.min = cvar.hasMin ? min : 0;
    cvar.hasMax = hasMax && std::isfinite(max);
    cvar.max = cvar.hasMax ? max : 0;
    cvar.save = save;
    cvar.owner = object();
    const int index = host()->console.registerCvar(std::move(cvar));
    return {host(), static_cast<uint32_t>(index + 1)};
}

void CVarManagerWrapper::registerNotifier(std::string name, std::function<void(std::vector<std::string>)> callback,
                                          std::string description, unsigned char permissions)
{
    Call call(host(), "CVarManagerWrapper::registerNotifier");
    call.arg(std::string_view(name));
    call.arg(std::string_view(description));
    call.arg(static_cast<int32_t>(permissions));
    if (!owned(*this)) {
        call.nullReceiver();
        return;
    }
    host()->console.notifiers.push_back(
        {std::move(name), std::move(description), permissions, std::move(callback), object()});
}

CVarWrapper CVarManagerWrapper::getCvar(std::string_view name)
{
    Call call(host(), "CVarManagerWrapper::getCvar");
    call.arg(name);
    if (!owned(*this)) {
        call.nullReceiver();
        return {host(), 0};
    }
    const int index = host()->console.indexOf(name);
    if (index < 0) {
        call.resultText("");
        return {host(), 0};
    }
    call.resultText(name);
    return {host(), static_cast<uint32_t>(index + 1)};
}

void CVarManagerWrapper::log(std::string_view text)
{
    Call call(host(), "CVarManagerWrapper::log");
    call.arg(text);
    if (!owned(*this)) {
        call.nullReceiver();
        return;
    }
    host()->console.log.emplace_back(text);
}

namespace {

// A variable wrapper holds the variable's index + 1; variables are never removed.
host::CVar* cvarOf(const CVarWrapper& wrapper, Call& call)
{
    host::Host* host = wrapper.host();
    const uint32_t index = wrapper.object();
    host::CVar* cvar =
        host && index != 0 && index <= host->console.cvars.size() ? &host->console.cvars[index - 1] : nullptr;
    call.self(cvar ? std::string_view(cvar->name) : std::string_view("null"));
    if (!cvar) {
        call.nullReceiver();
    }
    return cvar;
}

} // namespace

bool CVarWrapper::IsNull() const
{
    Call call(host(), "CVarWrapper::IsNull");
    const uint32_t index = object();
    return call.result(!host() || index == 0 || index > host()->console.cvars.size());
}

float CVarWrapper::getFloatValue() const
{
    Call call(host(), "CVarWrapper::getFloatValue");
    host::CVar* cvar = cvarOf(*this, call);
    return call.result(cvar ? host()->console.readFloat(*cvar) : 0.0f);
}

bool CVarWrapper::getBoolValue() const
{
    Call call(host(), "CVarWrapper::getBoolValue");
    host::CVar* cvar = cvarOf(*this, call);
    return call.result(cvar ? host()->console.readBool(*cvar) : false);
}

std::string CVarWrapper::getStringValue() const
{
    Call call(host(), "CVarWrapper::getStringValue");
    host::CVar* cvar = cvarOf(*this, call);
    std::string value = cvar ? host()->console.readString(*cvar) : std::string();
    call.resultText(value);
    return value;
}
