#include "library_copy.h"

#include "library.h"
#include "library_file.h"
#include "paths.h"
#include "private_copy.h"

namespace arena {

host::LoadResult loadPrivateCopy(host::Host& host, const std::string& path)
{
    std::string bytes;
    const platform::LibraryRead read = platform::readLibraryFile(path, bytes);
    if (!read.refusal.empty()) {
        return {0, path + ": cannot be opened as a library: " + read.refusal};
    }
    if (!read.read) {
        return host.load(path); // the loader tells why it cannot be opened
    }
    const std::string name = path.substr(path.find_last_of(platform::pathSeparators()) + 1);
    const platform::PrivateCopy copy(name, bytes);
    if (!copy.made()) {
        return host.load(path);
    }
    host::LoadResult loaded = host.load(copy.path(), path);
    if (!loaded && platform::sharedLibraryProblem(bytes).empty() &&
        loaded.error.starts_with(path + ": cannot be opened as a library: ")) {
        return host.load(path);
    }
    return loaded;
}

} // namespace arena
