#include "bench/interposition.h"

#include <dlfcn.h>

#include "bench/allocation_count.h"
#include "runtime/host.h"

namespace bench {

std::set<std::string> filesAllocatingAtLoad()
{
    runtime::Host host{1};
    const std::string path = VOLANKO_PLUGIN_PATH;
    startRecordingCallers();
    const runtime::LoadResult loaded = host.load(path);
    stopRecordingCallers();
    std::set<std::string> files;
    // Named while the library is still open: its addresses mean nothing once it is closed.
    for (const void* caller : recordedCallers()) {
        Dl_info info{};
        if (dladdr(caller, &info) != 0 && info.dli_fname) {
            const std::string file = info.dli_fname;
            files.insert(file.substr(file.find_last_of('/') + 1));
        }
    }
    if (loaded) {
        host.unload(loaded.plugin);
    }
    return files;
}

} // namespace bench
