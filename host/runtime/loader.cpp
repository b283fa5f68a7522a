// Opens plug-in libraries and closes them again, in the order that keeps the host from ever
// calling into a library that is gone.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host.h"
#include "library_file.h"
#include "plugin_record.h"

namespace host {

namespace {

using BakkesMod::Plugin::BakkesModPlugin;
using BakkesMod::Plugin::PluginDescriptor;

std::string refusal(const std::string& path, const std::string& reason)
{
    return path + ": " + reason;
}

std::string lastDlError()
{
    const char* error = dlerror();
    return error ? error : "unknown error";
}

// The whole file when `path` names a regular file that opens; false otherwise, for the system's
// own loader to give its reason.
bool readRegularFile(const std::string& path, std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd < 0) {
        return false;
    }
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[65536];
    for (ssize_t got = 0; ok && (got = ::read(fd, buffer, sizeof buffer)) != 0;) {
        ok = got > 0 || errno == EINTR;
        bytes.append(buffer, got > 0 ? static_cast<size_t>(got) : 0);
    }
    ::close(fd);
    return ok;
}

} // namespace

LoadResult Host::load(const std::string& file, const std::string& shownAs)
{
    const std::string& path = shownAs.empty() ? file : shownAs;
    // The same library file twice would share its one plug-in object between two loads.
    dlerror();
    if (void* already = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD)) {
        const bool plugin = dlsym(already, BAKKESMOD_EXPORTS_SYMBOL) != nullptr;
        dlclose(already);
        return {0, refusal(path, plugin ? "the library is already loaded in this process" : "no \"exports\" record")};
    }
    if (std::string bytes; file.find('/') != std::string::npos && readRegularFile(file, bytes)) {
        if (const std::string problem = sharedLibraryProblem(bytes); !problem.empty()) {
            return {0, refusal(path, "cannot be opened as a library: " + problem)};
        }
    }
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        return {0, refusal(path, "cannot be opened as a library: " + lastDlError())};
    }
    const auto refuse = [&](const std::string& reason) {
        dlclose(library);
        return LoadResult{0, refusal(path, reason)};
    };

    dlerror();
    const auto* record = static_cast<const PluginDescriptor*>(dlsym(library, BAKKESMOD_EXPORTS_SYMBOL));
    if (!record) {
        return refuse("no \"exports\" record");
    }
    // The entry functions are reached through the record, whatever names the library exports.
    if (const auto problems = recordProblems(*record, RecordWording::Loader); !problems.empty()) {
        return refuse(problems.front());
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
        return refuse("createFunction threw");
    }
    if (!loaded.plugin) {
        record->destroyFunction();
        return refuse("createFunction gave no plug-in object");
    }

    loaded.id = nextPlugin_++;
    BakkesModPlugin& plugin = *loaded.plugin;
    plugin.cvarManagerHandle = std::make_shared<CVarManagerWrapper>(this, loaded.id);
    plugin.gameWrapperHandle = std::make_shared<GameWrapper>(this, loaded.id);
    plugins.push_back(std::move(loaded));
    BakkesModPlugin* object = &plugin;
    const uint32_t id = plugins.back().id;
    callPlugin(id, "onLoad", [object] { object->onLoad(); });
    return {id, {}};
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
    std::erase_if(plugins, [id](const LoadedPlugin& plugin) { return plugin.id == id; });
    loaded.plugin.reset();
    try {
        loaded.descriptor.destroyFunction();
    } catch (...) {
        ++faults.callbackExceptions;
        faults.reports.push_back("plug-in " + std::to_string(id) + ": destroyFunction threw");
    }
    dlclose(loaded.library);
    return true;
}

void Host::unloadAll()
{
    while (!plugins.empty()) {
        unload(plugins.back().id);
    }
}

} // namespace host
