// What the plug-in registers, what of it can still run after unload, and what loading and
// unloading do to the process around it. The callbacks themselves are the hostile rounds' part:
// here they run only after unload, where they must not run at all.

#include <set>

#include "arena/common/load_refusal.h"
#include "arena/validate/checks.h"
#include "arena/validate/host_invariants.h"
#include "arena/validate/process_locale.h"
#include "runtime/host.h"

namespace arena::validate {

namespace {

// The first name the plug-in registered twice, as "variable \"x\"", or nothing.
std::optional<std::string> repeatedName(const runtime::Host& host, uint32_t plugin,
                                        const std::vector<std::string>& cvarNames)
{
    std::set<std::string> seen;
    for (const std::string& name : cvarNames) {
        if (!seen.insert(name).second) {
            return "variable \"" + name + "\" registered twice";
        }
    }
    std::set<std::string> commands;
    for (const runtime::Notifier& notifier : host.console().notifiers) {
        if (notifier.owner != plugin) {
            continue;
        }
        if (!commands.insert(notifier.name).second) {
            return "command \"" + notifier.name + "\" registered twice";
        }
        if (seen.count(notifier.name) != 0) {
            return "\"" + notifier.name + "\" registered both as a variable and as a command";
        }
    }
    std::set<std::string> events;
    for (const runtime::Hook& hook : host.hooks()) {
        if (hook.owner == plugin && !events.insert(hook.eventName).second) {
            return "event \"" + hook.eventName + "\" hooked twice";
        }
    }
    return std::nullopt;
}

// Reads the first JSON string of a trace's argument array: the name a registerCvar call gave.
std::string firstArgument(std::string_view args)
{
    std::string text;
    size_t at = args.find('"');
    if (at == std::string_view::npos) {
        return text;
    }
    for (++at; at < args.size() && args[at] != '"'; ++at) {
        if (args[at] == '\\' && at + 1 < args.size()) {
            ++at;
        }
        text += args[at];
    }
    return text;
}

std::optional<std::string> withWhen(std::optional<std::string> change, const char* when)
{
    if (change) {
        *change += ' ';
        *change += when;
    }
    return change;
}

std::optional<std::string> registration(const std::string& path)
{
    useNamedLocale();
    const ProcessLocale before = currentLocale();

    runtime::Host host(5);
    host.driveWorld().setFreeplay(true);
    host.switchTrace(true);
    const runtime::LoadResult loaded = host.load(path);
    if (!loaded) {
        return notLoaded(loadRefusal(loaded));
    }
    if (auto changed = withWhen(localeChange(before), "by onLoad")) {
        return changed;
    }
    std::vector<std::string> cvarNames;
    for (const runtime::TraceEntry& entry : host.trace().entries()) {
        if (std::string_view(entry.call) == "CVarManagerWrapper::registerCvar") {
            cvarNames.push_back(firstArgument(entry.args));
        }
    }
    host.switchTrace(false);
    host.clearTrace();
    if (auto repeated = repeatedName(host, loaded.plugin, cvarNames)) {
        return repeated;
    }
    if (host.console().repeatedRegistrations != 0) {
        std::string reason = std::to_string(host.console().repeatedRegistrations);
        reason += " variable registrations repeated a name";
        return reason;
    }
    if (auto broken = brokenInvariant(host)) {
        return "at load: " + *broken;
    }

    std::vector<std::string> commands;
    std::vector<std::string> events;
    for (const runtime::Notifier& notifier : host.console().notifiers) {
        commands.push_back(notifier.name);
    }
    for (const runtime::Hook& hook : host.hooks()) {
        events.push_back(hook.eventName);
    }

    host.unload(loaded.plugin);
    if (auto changed = withWhen(localeChange(before), "by unload")) {
        return changed;
    }
    if (auto broken = brokenInvariant(host)) {
        return "at unload: " + *broken;
    }
    if (!host.hooks().empty() || !host.drawables().empty() || !host.console().notifiers.empty()) {
        return "registrations left after unload";
    }
    // Everything the plug-in had registered, fired again: none of its code may run.
    host.switchTrace(true);
    for (const std::string& name : commands) {
        if (host.runCommand({name})) {
            return "command \"" + name + "\" still runs after unload";
        }
    }
    for (const std::string& event : events) {
        host.fireEvent(event);
    }
    host.drawFrame();
    if (!host.trace().entries().empty()) {
        std::string reason = "plug-in code ran after unload: it called ";
        reason += host.trace().entries().front().call;
        return reason;
    }
    return std::nullopt;
}

std::optional<std::string> registrationTask(ChildChannel&, const std::vector<std::string>& words)
{
    return registration(words.at(0));
}

} // namespace

const ChildTask kRegistrationTask{"registration", registrationTask};

CheckResult checkRegistration(const std::string& path, double timeLimitSeconds)
{
    return resultOf("registration", runInChild(timeLimitSeconds, kRegistrationTask, {path}));
}

} // namespace arena::validate
