#include "config_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "concat.h"
#include "write_all.h"

namespace arena {

namespace {

enum class Disk { Missing, Read, Refused };

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

const char* kindOf(mode_t mode)
{
    return S_ISDIR(mode)    ? "a directory"
           : S_ISCHR(mode)  ? "a character device"
           : S_ISBLK(mode)  ? "a block device"
           : S_ISFIFO(mode) ? "a FIFO"
           : S_ISSOCK(mode) ? "a socket"
                            : "not a regular file";
}

// Why `path` cannot be reached: names the part of it that is a file where a directory must be.
std::string unreachable(const std::string& path, int error)
{
    if (error == ENOTDIR) {
        for (std::string part = directoryOf(path); part != "/" && part != "."; part = directoryOf(part)) {
            struct stat info {};
            if (::stat(part.c_str(), &info) == 0) {
                return S_ISDIR(info.st_mode) ? concat(path, ": ", std::strerror(error))
                                             : concat(path, ": ", part, " is not a directory");
            }
        }
    }
    return concat(path, ": ", std::strerror(error));
}

// Reads `path` when it is a regular file (checked before opening, so a FIFO cannot block and a
// device is never touched). `info` is the file's status when read.
Disk readRegular(const std::string& path, std::string& bytes, struct stat& info, std::string& error)
{
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return Disk::Missing;
        }
        error = unreachable(path, errno);
        return Disk::Refused;
    }
    if (!S_ISREG(info.st_mode)) {
        error = concat(path, " is ", kindOf(info.st_mode), "; the configuration must be a regular file");
        return Disk::Refused;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = concat("cannot read ", unreachable(path, errno));
        return Disk::Refused;
    }
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[8192];
    bytes.clear();
    for (ssize_t got = 0; ok && (got = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno != EINTR) {
            ok = false;
        } else if (got > 0) {
            bytes.append(buffer, static_cast<size_t>(got));
        }
    }
    const int readErrno = errno;
    ::close(fd);
    if (!ok) {
        error = S_ISREG(info.st_mode)
                    ? concat("cannot read ", unreachable(path, readErrno))
                    : concat(path, " is ", kindOf(info.st_mode), "; the configuration must be a regular file");
        return Disk::Refused;
    }
    return Disk::Read;
}

// The file a write to `path` must replace: symbolic links followed, the last one possibly dangling.
bool writeTarget(std::string path, std::string& target, std::string& error)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                error = unreachable(path, errno);
                return false;
            }
            target = path;
            return true;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = path;
            return true;
        }
        std::string link(4096, '\0');
        const ssize_t size = ::readlink(path.c_str(), link.data(), link.size());
        if (size < 0 || static_cast<size_t>(size) >= link.size()) {
            error = concat("cannot follow the link ", path);
            return false;
        }
        link.resize(static_cast<size_t>(size));
        path = link.starts_with('/') ? link : concat(directoryOf(path), "/", link);
    }
    error = concat(path, ": too many levels of symbolic links");
    return false;
}

// Makes every missing directory on the way to `dir`.
bool makeDirectories(const std::string& dir, std::string& error)
{
    struct stat info {};
    if (::stat(dir.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) {
            error = concat("cannot save in ", dir, ": it is not a directory");
        }
        return error.empty();
    }
    if (const std::string parent = directoryOf(dir); parent != dir && !makeDirectories(parent, error)) {
        return false;
    }
    if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        error = concat("cannot make the directory ", dir, ": ", std::strerror(errno));
        return false;
    }
    return true;
}

// Replaces `target` by `text` through a temporary file in its directory, with `mode` (when
// `keepMode`) and owner kept, so that the file is always either the old one or the new one.
bool replaceFile(const std::string& target, int dirFd, const std::string& text, const struct stat* kept,
                 std::string& error)
{
    const std::string temporary = concat(target, ".tmp.", std::to_string(::getpid()));
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = concat("cannot write ", temporary, ": ", std::strerror(errno));
        return false;
    }
    if (kept) {
        // Best effort: only the owner or root may give the file back to its owner.
        [[maybe_unused]] const int owned = ::fchown(fd, kept->st_uid, kept->st_gid);
        ::fchmod(fd, kept->st_mode & 07777);
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = concat("cannot write ", target, ": ", std::strerror(written ? errno : savedErrno));
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself lasts only once the directory is synced.
    ::fsync(dirFd);
    return true;
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

void applyConfig(host::Console& console, const std::string& path, const std::vector<ConfigEntry>& entries,
                 std::vector<std::string>& problems)
{
    for (const ConfigEntry& entry : entries) {
        const host::CVar* cvar = console.find(entry.name);
        if (!cvar || !cvar->save) {
            continue;
        }
        if (!console.set(entry.name, entry.value)) {
            problems.push_back(concat(path, ":", std::to_string(entry.line), ": ",
                                      console.messages.empty() ? "refused" : console.messages.back()));
            console.messages.pop_back();
        }
    }
}

void ConfigFile::load(host::Console& console, std::vector<std::string>& messages)
{
    std::string bytes;
    struct stat info {};
    std::string error;
    const Disk read = readRegular(path_, bytes, info, error);
    if (read == Disk::Refused) {
        refusal_ = error;
        messages.push_back(concat("arena: ", error, "; it will not be saved"));
    } else if (read == Disk::Read) {
        const ConfigText text = parseConfig(bytes);
        for (const std::string& problem : text.problems) {
            messages.push_back(concat(path_, ":", problem));
        }
        if (!text.problems.empty()) {
            refusal_ = concat(path_, " has lines that are neither settings, comments nor blank");
            messages.push_back(concat("arena: will not save into ", path_,
                                      ": it has lines that are neither settings, comments nor blank"));
        }
        applyConfig(console, path_, configEntries(text), messages);
    }
    for (const host::CVar& cvar : console.cvars) {
        if (cvar.save) {
            start_[cvar.name] = cvar.value;
        }
    }
}

bool ConfigFile::save(const host::Console& console, std::vector<std::string>& messages) const
{
    std::vector<ConfigEntry> changes;
    std::string names;
    for (const host::CVar& cvar : console.cvars) {
        const auto start = start_.find(cvar.name);
        if (cvar.save && cvar.value != (start == start_.end() ? cvar.defaultValue : start->second)) {
            changes.push_back({cvar.name, cvar.value, 0});
            names += concat(names.empty() ? "" : ", ", cvar.name);
        }
    }
    if (changes.empty()) {
        return true;
    }
    const auto refuse = [&](const std::string& why) {
        messages.push_back(concat("arena: not saved (", why, "); changed this session: ", names));
        return false;
    };
    if (!refusal_.empty()) {
        return refuse(refusal_);
    }
    std::string target;
    std::string error;
    if (!writeTarget(path_, target, error) || !makeDirectories(directoryOf(target), error)) {
        return refuse(error);
    }
    // Another arena saving at the same time waits here, then merges into what this one wrote.
    const int dirFd = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0 || ::flock(dirFd, LOCK_EX) != 0) {
        if (dirFd >= 0) {
            ::close(dirFd);
        }
        return refuse(concat("cannot lock ", directoryOf(target), ": ", std::strerror(errno)));
    }
    std::string bytes;
    struct stat info {};
    const Disk read = readRegular(target, bytes, info, error);
    const ConfigText text = parseConfig(read == Disk::Read ? bytes : std::string());
    std::vector<std::string> skipped;
    const std::string merged = renderConfig(text, changes, skipped);
    bool saved = true;
    if (read == Disk::Refused) {
        saved = refuse(error);
    } else if (!text.problems.empty()) {
        saved = refuse(concat(target, " now has lines that are neither settings, comments nor blank"));
    } else if (merged != bytes && !replaceFile(target, dirFd, merged, read == Disk::Read ? &info : nullptr, error)) {
        saved = refuse(error);
    }
    ::close(dirFd);
    if (saved && !skipped.empty()) {
        std::string list;
        for (const std::string& name : skipped) {
            list += concat(list.empty() ? "" : ", ", name);
        }
        messages.push_back(
            concat("arena: left out of ", target, " (a value with a quote or a line break cannot be written): ", list));
    }
    return saved;
}

} // namespace arena
