// Opens plug-in libraries and closes them again, in the order that keeps the host from ever
// calling into a library that is gone.

#include "platform/library.h"
#include "runtime/host.h"
#include "runtime/plugin_record.h"

namespace runtime {

namespace {

// The loader names the first reason the record is refused, tersely.
std::string recordRefusal(const RecordProblem& problem)
{
    const std::string field = problem.field;
    switch (problem.kind) {
    case RecordProblem::Kind::WrongVersion:
        return "\"exports\" has host API version " + std::to_string(problem.version) + ", not " +
               std::to_string(BAKKESMOD_PLUGIN_API_VERSION);
    case RecordProblem::Kind::NullText: return "\"exports\" " + field + " is null";
    case RecordProblem::Kind::EmptyText: return "\"exports\" " + field + " is empty";
    case RecordProblem::Kind::NullFunction: return "\"exports\" has no " + field;
    case RecordProblem::Kind::NotExported: break;
    }
    return "\"exports\" " + field + " is not the exported " + problem.exportedName;
}

using BakkesMod::Plugin::BakkesModPlugin;
using BakkesMod::Plugin::PluginDescriptor;

std::string refusal(const std::string& path, const std::string& reason)
{
    return path + ": " + reason;
}

} // namespace

LoadResult Host::load(const std::string& file, const std::string& shownAs)
{
    const std::string& path = shownAs.empty() ? file : shownAs;
    // First, as it opens nothing that is not a regular file: even the look below for the library
    // among those loaded opens the file, and a FIFO would hold it there.
    if (const std::string problem = platform::libraryFileProblem(file); !problem.empty()) {
        return {0, refusal(path, "cannot be opened as a library: " + problem), LoadProblem::NotALibrary};
    }
    // The same library file twice would share its one plug-in object between two loads.
    if (platform::Library already = platform::openedLibrary(file)) {
        const bool plugin = platform::findSymbol(already, BAKKESMOD_EXPORTS_SYMBOL) != nullptr;
        platform::closeLibrary(already);
        return {0, refusal(path, plugin ? "the library is already loaded in this process" : "no \"exports\" record"),
                plugin ? LoadProblem::AlreadyLoaded : LoadProblem::NoRecord};
    }
    std::string reason;
    platform::Library library = platform::openLibrary(file, reason);
    if (!library) {
        return {0, refusal(path, "cannot be opened as a library: " + reason), LoadProblem::NotALibrary};
    }
    const auto refuse = [&](const std::string& reason, LoadProblem problem) {
        platform::closeLibrary(library);
        return LoadResult{0, refusal(path, reason), problem};
    };

    const auto* record = static_cast<const PluginDescriptor*>(platform::findSymbol(library, BAKKESMOD_EXPORTS_SYMBOL));
    if (!record) {
        return refuse("no \"exports\" record", LoadProblem::NoRecord);
    }
    // The entry functions are reached through the record, whatever names the library exports.
    if (const auto problems = recordProblems(*record); !problems.empty()) {
        return refuse(recordRefusal(problems.front()), LoadProblem::BadRecord);
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
        return refuse("createFunction threw", LoadProblem::CreateThrew);
    }
    if (!loaded.plugin) {
        record->destroyFunction();
        return refuse("createFunction gave no plug-in object", LoadProblem::NoPluginObject);
    }

    loaded.id = nextPlugin_++;
    BakkesModPlugin& plugin = *loaded.plugin;
    plugin.cvarManagerHandle = std::make_shared<CVarManagerWrapper>(this, loaded.id);
    plugin.gameWrapperHandle = std::make_shared<GameWrapper>(this, loaded.id);
    plugins_.push_back(std::move(loaded));
    BakkesModPlugin* object = &plugin;
    const uint32_t id = plugins_.back().id;
    callPlugin(id, "onLoad", [object] { object->onLoad(); });
    return {id, {}, LoadProblem::None};
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
