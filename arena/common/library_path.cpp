#include "arena/common/library_path.h"

#include "platform/paths.h"

namespace arena {

std::string fileLibraryPath(const std::string& path)
{
    if (path.find_first_of(platform::pathSeparators()) != std::string::npos) {
        return path;
    }
    std::string local = ".";
    local += platform::pathSeparator();
    local += path;
    return local;
}

std::string defaultPluginPath(std::string_view name)
{
    return besideProgram(platform::libraryFileName(name));
}

std::string besideProgram(std::string_view name)
{
    std::string path = platform::programFolder();
    path += platform::pathSeparator();
    path += name;
    return path;
}

} // namespace arena
