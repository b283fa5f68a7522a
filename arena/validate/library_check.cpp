// The library check reads the record and symbols only: a library that fails it is never asked to
// create anything.

#include <dlfcn.h>

#include <vector>

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

    // Every problem of the record at once: a broken library is usually broken in more than one way.
    std::vector<std::string> problems;
    if (!missing.empty()) {
        problems.push_back("not exported: " + missing);
    }
    if (record) {
        if (record->hostApiVersion != BAKKESMOD_PLUGIN_API_VERSION) {
            std::string reason = "\"exports\" has hostApiVersion ";
            reason += std::to_string(record->hostApiVersion);
            reason += ", the host needs ";
            reason += std::to_string(BAKKESMOD_PLUGIN_API_VERSION);
            problems.push_back(reason);
        }
        for (const auto& [field, text] :
             {std::pair{"sourceFile", record->sourceFile}, std::pair{"pluginClass", record->pluginClass},
              std::pair{"displayName", record->displayName}, std::pair{"versionText", record->versionText}}) {
            if (auto problem = textProblem(field, text)) {
                problems.push_back("\"exports\" " + *problem);
            }
        }
        if (!record->createFunction) {
            problems.emplace_back("\"exports\" createFunction is null");
        } else if (create && reinterpret_cast<void*>(record->createFunction) != create) {
            problems.emplace_back("\"exports\" createFunction is not the exported getPlugin");
        }
        if (!record->destroyFunction) {
            problems.emplace_back("\"exports\" destroyFunction is null");
        } else if (destroy && reinterpret_cast<void*>(record->destroyFunction) != destroy) {
            problems.emplace_back("\"exports\" destroyFunction is not the exported deleteMe");
        }
    }
    std::optional<std::string> problem;
    for (const std::string& each : problems) {
        if (problem) {
            *problem += "; ";
            *problem += each;
        } else {
            problem = each;
        }
    }
    dlclose(library);
    return problem;
}

} // namespace

CheckResult checkLibrary(const std::string& path, double timeLimitSeconds)
{
    return resultOf("library", runInChild(timeLimitSeconds, [&](ChildChannel&) { return inspect(path); }));
}
