// Opens plug-in libraries and closes them again, in the order that keeps the host from ever
// calling into a library that is gone.

#include "platform/library.h"
#include "runtime/host.h"
#include "runtime/plugin_record.h"

namespace runtime {

using BakkesMod::Plugin::BakkesModPlugin;
using BakkesMod::Plugin::PluginDescriptor;

LoadResult Host::load(const std::string& file, const std::string& shownAs)
{
    const std::string& path = shownAs.empty() ? file : shownAs;
    // First, as it opens nothing that is not a regular file: even the look below for the library
    // among those loaded opens the file, and a FIFO would hold it there.
    if (std::string problem = platform::libraryFileProblem(file); !problem.empty()) {
        return {0, LoadProblem::NotALibrary, path, std::move(problem)};
    }
    // The same library file twice would share its one plug-in object between two loads.
    if (platform::Library already = platform::openedLibrary(file)) {
        const bool plugin = platform::findSymbol(already, BAKKESMOD_EXPORTS_SYMBOL) != nullptr;
        platform::closeLibrary(already);
        return {0, plugin ? LoadProblem::AlreadyLoaded : LoadProblem::NoRecord, path, {}};
    }
    std::string reason;
    platform::Library library = platform::openLibrary(file, reason);
    if (!library) {
        return {0, LoadProblem::NotALibrary, path, std::move(reason)};
    }
    const auto refuse = [&](LoadProblem problem, RecordProblem record = {}) {
        platform::closeLibrary(library);
        return LoadResult{0, problem, path, {}, record};
    };

    const auto* record = static_cast<const PluginDescriptor*>(platform::findSymbol(library, BAKKESMOD_EXPORTS_SYMBOL));
    if (!record) {
        return refuse(LoadProblem::NoRecord);
    }
    // The entry functions are reached through the record, whatever names the library exports.
    if (const auto problems = recordProblems(*record); !problems.empty()) {
        return refuse(LoadProblem::BadRecord, problems.front());
    }

    LoadedPlugin loaded;
    loaded.path = path;
    loaded.library = library;
    loaded.descriptor = *record;
    std::shared_ptr<BakkesModPlugin>* holder = nullptr;
    try {
        holder = record->createFunction();
        if (holder) {
            loaded.plugin = *holder;
        }
    } catch (...) {
        return refuse(LoadProblem::CreateThrew);
    }
    if (!loaded.plugin) {
        record->destroyFunction();
        return refuse(LoadProblem::NoPluginObject);
    }

    loaded.id = nextPlugin_++;
    BakkesModPlugin& plugin = *loaded.plugin;
    plugin.cvarManagerHandle = std::make_shared<CVarManagerWrapper>(this, loaded.id);
    plugin.gameWrapperHandle = std::make_shared<GameWrapper>(this, loaded.id);
    plugins_.push_back(std::move(loaded));
    BakkesModPlugin* object = &plugin;
    const uint32_t id = plugins_.back().id;
    callPlugin(id, "onLoad", [object] { object->onLoad(); });
    return {id, LoadProblem::None, path, {}};
}

bool Host::unload(uint32_t id)
{
    LoadedPlugin* found = findPlugin(id);
    if (!found) {
        return false;
    }
    BakkesModPlugin* object = found->plugin.get();
    callPlugin(id, "onUnload", [object] { object->onUnload(); });
    removeRegistrations(id);

    // Taken out of the list first: nothing below may reach it through the host again.
    found = findPlugin(id);
    LoadedPlugin loaded = std::move(*found);
    std::erase_if(plugins_, [id](const LoadedPlugin& plugin) { return plugin.id == id; });
    loaded.plugin.reset();
    try {
        loaded.descriptor.destroyFunction();
    } catch (...) {
        ++faults_.callbackExceptions;
        faults_.reports.push_back("plug-in " + std::to_string(id) + ": destroyFunction threw");
    }
    platform::closeLibrary(loaded.library);
    return true;
}

void Host::unloadAll()
{
    while (!plugins_.empty()) {
        unload(plugins_.back().id);
    }
}

} // namespace runtime
