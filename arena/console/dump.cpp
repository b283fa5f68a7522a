#include "dump.h"

#include "trace.h"

namespace arena {

namespace {

void appendActor(std::string& out, const host::Actor* actor, bool withContact)
{
    if (!actor) {
        out += "null";
        return;
    }
    out += "{\"location\":";
    host::appendJson(out, actor->location);
    out += ",\"velocity\":";
    host::appendJson(out, actor->velocity);
    out += ",\"rotation\":";
    host::appendJson(out, actor->rotation);
    out += ",\"angularVelocity\":";
    host::appendJson(out, actor->angularVelocity);
    if (withContact) {
        out += ",\"contact\":";
        host::appendJson(out, std::string_view(host::contactName(actor->contact)));
    }
    out += '}';
}

} // namespace

std::string dumpJson(const host::Host& host, bool paused)
{
    const host::World& world = host.world;
    std::string out = "{\"time\":";
    host::appendJson(out, world.clock);
    out += ",\"freeplay\":";
    host::appendJson(out, world.freeplay);
    out += ",\"paused\":";
    host::appendJson(out, paused);
    out += ",\"ball\":";
    appendActor(out, world.ball(), false);
    out += ",\"car\":";
    appendActor(out, world.car(), true);
    out += ",\"camera\":";
    host::appendJson(out, world.find(world.camera) != nullptr);
    out += ",\"canvas\":{\"size\":";
    host::appendJson(out, host.canvas.size);
    out += ",\"draws\":[";
    bool first = true;
    for (const host::CanvasDraw& draw : host.canvas.draws()) {
        out += first ? "" : ",";
        first = false;
        out += "{\"position\":";
        host::appendJson(out, draw.position);
        out += ",\"color\":";
        host::appendJson(out, draw.color);
        out += ",\"text\":";
        host::appendJson(out, std::string_view(draw.text));
        out += ",\"scale\":[";
        host::appendJson(out, draw.xScale);
        out += ',';
        host::appendJson(out, draw.yScale);
        out += "]}";
    }
    out += "]},\"log\":[";
    first = true;
    for (const std::string& line : host.console.log) {
        out += first ? "" : ",";
        first = false;
        host::appendJson(out, std::string_view(line));
    }
    out += "],\"cvars\":{";
    first = true;
    for (const host::CVar& cvar : host.console.cvars) {
        out += first ? "" : ",";
        first = false;
        host::appendJson(out, std::string_view(cvar.name));
        out += ':';
        host::appendJson(out, std::string_view(cvar.value));
    }
    out += "},\"keptWrappers\":";
    host::appendJson(out, static_cast<int64_t>(host.faults.keptWrappers));
    out += ",\"nullCalls\":";
    host::appendJson(out, static_cast<int64_t>(host.faults.nullCalls));
    out += '}';
    return out;
}

} // namespace arena
