#include <unistd.h>

#include <cstdlib>

#include "platform/paths.h"

namespace platform {

namespace {

// $`variable`/`folder`/`name` when the variable holds an absolute path, else
// $HOME/`fallback`/`folder`/`name`.
std::string userFile(const char* variable, const char* fallback, std::string_view folder, std::string_view name)
{
    std::string path;
    if (const char* base = std::getenv(variable); base && *base == '/') {
        path = base;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        path = home;
        path += fallback;
    } else {
        return {};
    }
    path += '/';
    path += folder;
    path += '/';
    path += name;
    return path;
}

} // namespace

std::vector<std::string> programWords(int argc, char** argv)
{
    return {argv, argv + argc};
}

std::filesystem::path filePath(const std::string& path)
{
    return path;
}

std::string_view pathSeparators()
{
    return "/";
}

char pathSeparator()
{
    return '/';
}

bool isAbsolutePath(std::string_view path)
{
    return path.starts_with('/');
}

std::string programFolder()
{
    std::string self(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
    if (length > 0) {
        self.resize(static_cast<size_t>(length));
        const size_t slash = self.find_last_of('/');
        if (slash != std::string::npos) {
            return self.substr(0, slash);
        }
    }
    return ".";
}

std::string libraryFileName(std::string_view name)
{
    std::string file = "lib";
    file += name;
    file += ".so";
    return file;
}

std::string userConfigFile(std::string_view folder, std::string_view name)
{
    return userFile("XDG_CONFIG_HOME", "/.config", folder, name);
}

std::string userConfigPlace(std::string_view folder, std::string_view name)
{
    std::string file(folder);
    file += '/';
    file += name;
    std::string place = "$XDG_CONFIG_HOME/";
    place += file;
    place += " (else ~/.config/";
    place += file;
    place += ')';
    return place;
}

std::string userStateFile(std::string_view folder, std::string_view name)
{
    return userFile("XDG_STATE_HOME", "/.local/state", folder, name);
}

} // namespace platform
