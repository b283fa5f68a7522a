#include "arena/common/library_path.h"

#include "arena/common/drill.h"
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

std::string defaultPluginPath()
{
    return besideProgram(platform::libraryFileName(drill::kLibraryName));
}

std::string besideProgram(std::string_view name)
{
    std::string path = platform::programFolder();
    path += platform::pathSeparator();
    path += name;
    return path;
}

} // namespace arena
