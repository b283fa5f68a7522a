#include "library_path.h"

#include <unistd.h>

#include "drill.h"

namespace arena {

std::string fileLibraryPath(const std::string& path)
{
    if (path.find('/') != std::string::npos) {
        return path;
    }
    std::string local = "./";
    local += path;
    return local;
}

std::string defaultPluginPath()
{
    return besideProgram(drill::kLibraryName);
}

std::string besideProgram(std::string_view name)
{
    std::string self(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    std::string dir = ".";
    if (length > 0) {
        self.resize(static_cast<size_t>(length));
        const size_t slash = self.find_last_of('/');
        if (slash != std::string::npos) {
            dir = self.substr(0, slash);
        }
    }
    dir += '/';
    dir += name;
    return dir;
}

} // namespace arena
