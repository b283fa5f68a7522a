#include "arena/console/dump.h"

#include "runtime/trace.h"

namespace arena {

namespace {

void appendActor(std::string& out, const runtime::Actor* actor, bool withContact)
{
    if (!actor) {
        out += "null";
        return;
    }
    out += "{\"location\":";
    runtime::appendJson(out, actor->location);
    out += ",\"velocity\":";
    runtime::appendJson(out, actor->velocity);
    out += ",\"rotation\":";
    runtime::appendJson(out, actor->rotation);
    out += ",\"angularVelocity\":";
    runtime::appendJson(out, actor->angularVelocity);
    if (withContact) {
        out += ",\"contact\":";
        runtime::appendJson(out, std::string_view(runtime::contactName(actor->contact)));
    }
    out += '}';
}

} // namespace

std::string dumpJson(const runtime::Host& host, bool paused)
{
    const runtime::World& world = host.world;
    std::string out = "{\"time\":";
    runtime::appendJson(out, world.clock);
    out += ",\"freeplay\":";
    runtime::appendJson(out, world.freeplay);
    out += ",\"paused\":";
    runtime::appendJson(out, paused);
    out += ",\"ball\":";
    appendActor(out, world.ball(), false);
    out += ",\"car\":";
    appendActor(out, world.car(), true);
    out += ",\"camera\":";
    runtime::appendJson(out, world.find(world.camera) != nullptr);
    out += ",\"canvas\":{\"size\":";
    runtime::appendJson(out, host.canvas.size);
    out += ",\"draws\":[";
    bool first = true;
    for (const runtime::CanvasDraw& draw : host.canvas.draws()) {
        out += first ? "" : ",";
        first = false;
        out += "{\"position\":";
        runtime::appendJson(out, draw.position);
        out += ",\"color\":";
        runtime::appendJson(out, draw.color);
        out += ",\"text\":";
        runtime::appendJson(out, std::string_view(draw.text));
        out += ",\"scale\":[";
        runtime::appendJson(out, draw.xScale);
        out += ',';
        runtime::appendJson(out, draw.yScale);
        out += "]}";
    }
    out += "]},\"log\":[";
    first = true;
    for (const std::string& line : host.console.log) {
        out += first ? "" : ",";
        first = false;
        runtime::appendJson(out, std::string_view(line));
    }
    out += "],\"cvars\":{";
    first = true;
    for (const runtime::CVar& cvar : host.console.cvars) {
        out += first ? "" : ",";
        first = false;
        runtime::appendJson(out, std::string_view(cvar.name));
        out += ':';
        runtime::appendJson(out, std::string_view(cvar.value));
    }
    out += "},\"keptWrappers\":";
    runtime::appendJson(out, static_cast<int64_t>(host.faults.keptWrappers));
    out += ",\"nullCalls\":";
    runtime::appendJson(out, static_cast<int64_t>(host.faults.nullCalls));
    out += '}';
    return out;
}

} // namespace arena
