#include "library_copy.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "library_file.h"
#include "write_all.h"

namespace arena {

host::LoadResult loadPrivateCopy(host::Host& host, const std::string& path)
{
    struct stat info {};
    std::ifstream in(path, std::ios::binary);
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || !in) {
        return host.load(path);
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const int fd = ::memfd_create(name.c_str(), MFD_CLOEXEC);
    if (fd < 0) {
        return host.load(path);
    }
    if (!writeAll(fd, bytes.str())) {
        ::close(fd);
        return host.load(path);
    }
    host::LoadResult loaded = host.load("/proc/self/fd/" + std::to_string(fd), path);
    ::close(fd); // the mapping keeps the copy for as long as the library stays loaded
    if (!loaded && platform::sharedLibraryProblem(bytes.str()).empty() &&
        loaded.error.starts_with(path + ": cannot be opened as a library: ")) {
        return host.load(path);
    }
    return loaded;
}

} // namespace arena
