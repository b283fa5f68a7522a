#include "config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "concat.h"
#include "console_line.h"
#include "write_all.h"

namespace arena {

namespace {

std::string located(const std::string& path, int line, std::string_view message)
{
    std::string text = path;
    text += ':';
    text += std::to_string(line);
    text += ": ";
    text += message;
    return text;
}

bool writable(std::string_view value)
{
    return value.find_first_of("\"\n\r") == std::string_view::npos;
}

// Makes every missing directory on the way to `dir`.
bool makeDirectories(const std::string& dir)
{
    if (dir.empty()) {
        return true;
    }
    struct stat info {};
    if (::stat(dir.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    const size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(dir.substr(0, slash))) {
        return false;
    }
    return ::mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

} // namespace

std::string defaultConfigPath()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = home;
        base += "/.config";
    } else {
        return {};
    }
    base += "/volanko/arena.cfg";
    return base;
}

std::vector<ConfigEntry> readConfig(const std::string& path, std::vector<std::string>& problems)
{
    std::vector<ConfigEntry> entries;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return entries;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string error;
        const auto words = splitConsoleLine(line, error);
        if (!words) {
            problems.push_back(located(path, number, error));
            continue;
        }
        if (words->empty()) {
            continue;
        }
        if (words->size() != 2) {
            problems.push_back(located(path, number, "expected a name and a quoted value: name \"value\""));
            continue;
        }
        entries.push_back({(*words)[0], (*words)[1], number});
    }
    return entries;
}

void applyConfig(host::Console& console, const std::string& path, const std::vector<ConfigEntry>& entries,
                 std::vector<std::string>& problems)
{
    for (const ConfigEntry& entry : entries) {
        const host::CVar* cvar = console.find(entry.name);
        if (!cvar || !cvar->save) {
            continue;
        }
        if (!console.set(entry.name, entry.value)) {
            problems.push_back(
                located(path, entry.line, console.messages.empty() ? "refused" : console.messages.back()));
            console.messages.pop_back();
        }
    }
}

std::vector<ConfigEntry> configToSave(const host::Console& console, const std::vector<ConfigEntry>& fromFile)
{
    std::vector<ConfigEntry> entries;
    for (const host::CVar& cvar : console.cvars) {
        if (cvar.save) {
            entries.push_back({cvar.name, cvar.value, 0});
        }
    }
    for (const ConfigEntry& entry : fromFile) {
        if (console.indexOf(entry.name) >= 0) {
            continue;
        }
        bool seen = false;
        for (const ConfigEntry& kept : entries) {
            seen = seen || kept.name == entry.name;
        }
        if (!seen) {
            entries.push_back({entry.name, entry.value, 0});
        }
    }
    return entries;
}

bool writeConfig(const std::string& path, const std::vector<ConfigEntry>& entries, std::string& error)
{
    std::string text;
    std::string skipped;
    for (const ConfigEntry& entry : entries) {
        if (!writable(entry.value) || !writable(entry.name) || entry.name.empty() ||
            entry.name.find_first_of(" \t#/") != std::string::npos) {
            skipped += skipped.empty() ? "" : ", ";
            skipped += entry.name;
            continue;
        }
        text += entry.name;
        text += " \"";
        text += entry.value;
        text += "\"\n";
    }

    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash);
    if (!makeDirectories(dir)) {
        error = concat("cannot make the directory ", dir, ": ", std::strerror(errno));
        return false;
    }
    std::string temporary = path;
    temporary += ".tmp.";
    temporary += std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = concat("cannot write ", temporary, ": ", std::strerror(errno));
        return false;
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = concat("cannot write ", path, ": ", std::strerror(written ? errno : savedErrno));
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself lasts only once the directory is synced.
    if (const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    if (!skipped.empty()) {
        error = concat("left out of ", path, " (a value with a quote or a line break cannot be written): ", skipped);
    }
    return true;
}

} // namespace arena
