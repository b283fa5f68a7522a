#include <windows.h>

#include <shellapi.h>

#include "platform/paths.h"
#include "platform/windows/wide_text.h"

namespace platform {

namespace {

// %`variable`%\`folder`\`name` when the variable names a folder; empty otherwise.
std::string userFile(const wchar_t* variable, std::string_view folder, std::string_view name)
{
    const DWORD size = GetEnvironmentVariableW(variable, nullptr, 0);
    if (size <= 1) {
        return {};
    }
    std::wstring base(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(variable, base.data(), size);
    if (length == 0 || length >= size) {
        return {};
    }
    base.resize(length);
    std::string path = narrowText(base);
    if (!isAbsolutePath(path)) {
        return {};
    }
    path += '\\';
    path += folder;
    path += '\\';
    path += name;
    return path;
}

} // namespace

std::vector<std::string> programWords(int argc, char** argv)
{
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words) {
        return {argv, argv + argc};
    }
    std::vector<std::string> utf8;
    for (int i = 0; i < count; ++i) {
        utf8.push_back(narrowText(words[i]));
    }
    LocalFree(words);
    return utf8;
}

std::filesystem::path filePath(const std::string& path)
{
    return wideText(path);
}

std::string_view pathSeparators()
{
    return "/\\";
}

char pathSeparator()
{
    return '\\';
}

bool isAbsolutePath(std::string_view path)
{
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return drive || path.starts_with("\\\\") || path.starts_with("//");
}

std::string programFolder()
{
    std::wstring self(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
        if (length == 0) {
            return ".";
        }
        if (length < self.size()) {
            self.resize(length);
            break;
        }
        if (self.size() >= 32768) {
            return ".";
        }
        self.resize(self.size() * 2);
    }
    const std::string path = narrowText(self);
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string libraryFileName(std::string_view name)
{
    std::string file(name);
    file += ".dll";
    return file;
}

std::string userConfigFile(std::string_view folder, std::string_view name)
{
    return userFile(L"APPDATA", folder, name);
}

std::string userConfigPlace(std::string_view folder, std::string_view name)
{
    std::string place = "%APPDATA%\\";
    place += folder;
    place += '\\';
    place += name;
    return place;
}

std::string userStateFile(std::string_view folder, std::string_view name)
{
    return userFile(L"LOCALAPPDATA", folder, name);
}

} // namespace platform
