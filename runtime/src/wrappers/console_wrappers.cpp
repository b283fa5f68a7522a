// The console as each plug-in sees it: the variables and commands it registers, their values and
// the log.

#include <cmath>
#include <utility>

#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "runtime/src/call.h"
#include "runtime/src/owner.h"

using runtime::Call;
using runtime::hostOf;
using runtime::ownerLoaded;

CVarWrapper CVarManagerWrapper::registerCvar(std::string name, std::string defaultValue, std::string description,
                                             bool searchable, bool hasMin, float min, bool hasMax, float max, bool save)
{
    Call call(hostOf(*this), "CVarManagerWrapper::registerCvar");
    call.arg(std::string_view(name));
    call.arg(std::string_view(defaultValue));
    call.arg(std::string_view(description));
    call.arg(searchable);
    call.arg(hasMin);
    call.arg(min);
    call.arg(hasMax);
    call.arg(max);
    call.arg(save);
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return {hostOf(*this), 0};
    }
    runtime::CVar cvar;
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
    const int index = runtime::HostParts::console(*hostOf(*this)).registerCvar(std::move(cvar));
    return {hostOf(*this), static_cast<uint32_t>(index + 1)};
}

void CVarManagerWrapper::registerNotifier(std::string name, std::function<void(std::vector<std::string>)> callback,
                                          std::string description, unsigned char permissions)
{
    Call call(hostOf(*this), "CVarManagerWrapper::registerNotifier");
    call.arg(std::string_view(name));
    call.arg(std::string_view(description));
    call.arg(static_cast<int32_t>(permissions));
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return;
    }
    runtime::HostParts::console(*hostOf(*this))
        .notifiers.push_back({std::move(name), std::move(description), permissions, std::move(callback), object()});
}

CVarWrapper CVarManagerWrapper::getCvar(std::string_view name)
{
    Call call(hostOf(*this), "CVarManagerWrapper::getCvar");
    call.arg(name);
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return {hostOf(*this), 0};
    }
    const int index = hostOf(*this)->console().indexOf(name);
    if (index < 0) {
        call.resultText("");
        return {hostOf(*this), 0};
    }
    call.resultText(name);
    return {hostOf(*this), static_cast<uint32_t>(index + 1)};
}

void CVarManagerWrapper::log(std::string_view text)
{
    Call call(hostOf(*this), "CVarManagerWrapper::log");
    call.arg(text);
    if (!ownerLoaded(*this)) {
        call.nullReceiver();
        return;
    }
    runtime::HostParts::console(*hostOf(*this)).log.emplace_back(text);
}

namespace {

// A variable wrapper holds the variable's index + 1; variables are never removed.
runtime::CVar* cvarOf(const CVarWrapper& wrapper, Call& call)
{
    runtime::Host* host = hostOf(wrapper);
    const uint32_t index = wrapper.object();
    runtime::CVar* cvar = host && index != 0 && index <= host->console().cvars.size()
                              ? &runtime::HostParts::console(*host).cvars[index - 1]
                              : nullptr;
    call.self(cvar ? std::string_view(cvar->name) : std::string_view("null"));
    if (!cvar) {
        call.nullReceiver();
    }
    return cvar;
}

} // namespace

bool CVarWrapper::IsNull() const
{
    Call call(hostOf(*this), "CVarWrapper::IsNull");
    const uint32_t index = object();
    return call.result(!hostOf(*this) || index == 0 || index > hostOf(*this)->console().cvars.size());
}

float CVarWrapper::getFloatValue() const
{
    Call call(hostOf(*this), "CVarWrapper::getFloatValue");
    runtime::CVar* cvar = cvarOf(*this, call);
    return call.result(cvar ? runtime::HostParts::console(*hostOf(*this)).readFloat(*cvar) : 0.0f);
}

bool CVarWrapper::getBoolValue() const
{
    Call call(hostOf(*this), "CVarWrapper::getBoolValue");
    runtime::CVar* cvar = cvarOf(*this, call);
    return call.result(cvar ? runtime::HostParts::console(*hostOf(*this)).readBool(*cvar) : false);
}

std::string CVarWrapper::getStringValue() const
{
    Call call(hostOf(*this), "CVarWrapper::getStringValue");
    runtime::CVar* cvar = cvarOf(*this, call);
    std::string value = cvar ? runtime::HostParts::console(*hostOf(*this)).readString(*cvar) : std::string();
    call.resultText(value);
    return value;
}
