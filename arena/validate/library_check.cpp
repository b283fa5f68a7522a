// The library check reads the record and symbols only: a library that fails it is never asked to
// create anything.

#include <dlfcn.h>

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "checks.h"

namespace {

using BakkesMod::Plugin::PluginDescriptor;

// "is null" or "is empty" for a text field that is either; nothing when it has text.
std::optional<std::string> textProblem(const char* field, const char* text)
{
    std::string problem = field;
    if (!text) {
        problem += " is null";
        return problem;
    }
    if (*text == '\0') {
        problem += " is empty";
        return problem;
    }
    return std::nullopt;
}

std::optional<std::string> inspect(const std::string& path)
{
    dlerror();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* error = dlerror();
        std::string reason = "cannot be opened as a library: ";
        reason += error ? error : "unknown error";
        return reason;
    }
    const auto* record = static_cast<const PluginDescriptor*>(dlsym(library, BAKKESMOD_EXPORTS_SYMBOL));
    void* create = dlsym(library, BAKKESMOD_CREATE_SYMBOL);
    void* destroy = dlsym(library, BAKKESMOD_DESTROY_SYMBOL);
    std::string missing;
    for (const auto& [name, found] : {std::pair{BAKKESMOD_EXPORTS_SYMBOL, static_cast<const void*>(record)},
                                      std::pair{BAKKESMOD_CREATE_SYMBOL, static_cast<const void*>(create)},
                                      std::pair{BAKKESMOD_DESTROY_SYMBOL, static_cast<const void*>(destroy)}}) {
        if (!found) {
            missing += missing.empty() ? "\"" : ", \"";
            missing += name;
            missing += '"';
        }
    }
    if (!missing.empty()) {
        dlclose(library);
        return "not exported: " + missing;
    }

    std::optional<std::string> problem;
    if (record->hostApiVersion != BAKKESMOD_PLUGIN_API_VERSION) {
        std::string reason = "\"exports\" has hostApiVersion ";
        reason += std::to_string(record->hostApiVersion);
        reason += ", the host needs ";
        reason += std::to_string(BAKKESMOD_PLUGIN_API_VERSION);
        problem = reason;
    } else if (auto text = textProblem("sourceFile", record->sourceFile)) {
        problem = "\"exports\" " + *text;
    } else if (auto text = textProblem("pluginClass", record->pluginClass)) {
        problem = "\"exports\" " + *text;
    } else if (auto text = textProblem("displayName", record->displayName)) {
        problem = "\"exports\" " + *text;
    } else if (auto text = textProblem("versionText", record->versionText)) {
        problem = "\"exports\" " + *text;
    } else if (reinterpret_cast<void*>(record->createFunction) != create) {
        problem = record->createFunction ? "\"exports\" createFunction is not the exported getPlugin"
                                         : "\"exports\" createFunction is null";
    } else if (reinterpret_cast<void*>(record->destroyFunction) != destroy) {
        problem = record->destroyFunction ? "\"exports\" destroyFunction is not the exported deleteMe"
                                          : "\"exports\" destroyFunction is null";
    }
    dlclose(library);
    return problem;
}

} // namespace

CheckResult checkLibrary(const std::string& path, double timeLimitSeconds)
{
    return resultOf("library", runInChild(timeLimitSeconds, [&](ChildChannel&) { return inspect(path); }));
}
