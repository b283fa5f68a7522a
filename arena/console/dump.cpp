#include "arena/console/dump.h"

#include "runtime/json.h"

namespace arena {

namespace {

runtime::Json actorJson(const runtime::Actor* actor, bool withContact)
{
    if (!actor) {
        return nullptr;
    }
    runtime::Json json = {{"location", actor->location},
                          {"velocity", actor->velocity},
                          {"rotation", actor->rotation},
                          {"angularVelocity", actor->angularVelocity}};
    if (withContact) {
        json["contact"] = runtime::contactName(actor->contact);
    }
    return json;
}

// The dump's own shape of a draw; the recording's (recording_json.h) has its members in another order.
runtime::Json drawJson(const runtime::CanvasDraw& draw)
{
    return {
        {"position", draw.position}, {"color", draw.color}, {"text", draw.text}, {"scale", {draw.xScale, draw.yScale}}};
}

} // namespace

std::string dumpJson(const runtime::Host& host, bool paused)
{
    const runtime::World& world = host.world();
    runtime::Json draws = runtime::Json::array();
    for (const runtime::CanvasDraw& draw : host.canvas().draws()) {
        draws.push_back(drawJson(draw));
    }
    runtime::Json cvars = runtime::Json::object();
    for (const runtime::CVar& cvar : host.console().cvars) {
        cvars[cvar.name] = cvar.value;
    }
    const runtime::Json dump = {{"time", world.clock},
                                {"freeplay", world.freeplay},
                                {"paused", paused},
                                {"ball", actorJson(world.ball(), false)},
                                {"car", actorJson(world.car(), true)},
                                {"camera", world.find(world.camera) != nullptr},
                                {"canvas", {{"size", host.canvas().size}, {"draws", std::move(draws)}}},
                                {"log", host.console().log},
                                {"cvars", std::move(cvars)},
                                {"keptWrappers", host.faults().keptWrappers},
                                {"nullCalls", host.faults().nullCalls}};
    return runtime::jsonText(dump);
}

} // namespace arena
