#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/common/whole_io.h"
#include "platform/files.h"

namespace platform {

namespace {

FileKind kindOf(mode_t mode)
{
    return S_ISREG(mode)    ? FileKind::Regular
           : S_ISDIR(mode)  ? FileKind::Directory
           : S_ISCHR(mode)  ? FileKind::CharacterDevice
           : S_ISBLK(mode)  ? FileKind::BlockDevice
           : S_ISFIFO(mode) ? FileKind::Fifo
           : S_ISSOCK(mode) ? FileKind::Socket
           : S_ISLNK(mode)  ? FileKind::Link
                            : FileKind::Other;
}

FileFacts factsOf(int result, const struct stat& info)
{
    if (result != 0) {
        return {FileKind::Missing, errno};
    }
    return {kindOf(info.st_mode), 0};
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Reads `fd` from where it stands to its end into `bytes`, at most `limit` bytes: EFBIG, `bytes`
// empty, when there are more. 0, or why not.
int readAll(int fd, std::string& bytes, size_t limit)
{
    return readWhole(bytes, limit, [fd](char* into, size_t count, int& failure) {
        const ssize_t got = ::read(fd, into, count);
        failure = errno;
        return static_cast<long long>(got);
    });
}

bool writeAllAt(int fd, std::string_view data)
{
    for (off_t at = 0; !data.empty();) {
        const ssize_t written = ::pwrite(fd, data.data(), data.size(), at);
        if (written <= 0) {
            if (written < 0 && errno == EINTR) {
                continue;
            }
            errno = written == 0 ? EIO : errno;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
        at += written;
    }
    return true;
}

// Rewrites the regular file `target` with `text` in place, keeping its inode and so every name,
// the owner and the mode it has. Before anything is overwritten, the blocks a longer text needs
// are taken (where the file system can), so that a full disk fails with the old text untouched;
// a write that fails later is undone with the old text.
int rewriteInPlace(const std::string& target, std::string_view text)
{
    const int fd = ::open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    struct stat info {};
    std::string old;
    int error = ::fstat(fd, &info) != 0 ? errno : !S_ISREG(info.st_mode) ? EINVAL : readAll(fd, old, SIZE_MAX);
#ifdef FALLOC_FL_KEEP_SIZE
    if (error == 0 && text.size() > old.size()) {
        const int taken = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(text.size()));
        error = taken == 0 || errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
    }
#endif
    if (error == 0) {
        if (writeAllAt(fd, text) && ::ftruncate(fd, static_cast<off_t>(text.size())) == 0 && ::fsync(fd) == 0) {
            return ::close(fd) == 0 ? 0 : errno;
        }
        error = errno;
        if (writeAllAt(fd, old)) {
            [[maybe_unused]] const int undone = ::ftruncate(fd, static_cast<off_t>(old.size()));
            ::fsync(fd);
        }
    }
    ::close(fd);
    return error;
}

// Whether the process `pid` is gone: one that exists but is another user's still counts.
bool processGone(long pid)
{
    return pid > 0 && static_cast<pid_t>(pid) == pid && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

FileIdentity identityOf(int result, const struct stat& info)
{
    if (result != 0) {
        return {};
    }
    return {true, kindOf(info.st_mode), static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

} // namespace

FileIdentity fileIdentity(const std::string& path)
{
    struct stat info {};
    const int result = ::stat(path.c_str(), &info);
    return identityOf(result, info);
}

FileIdentity descriptorIdentity(int fd)
{
    struct stat info {};
    const int result = ::fstat(fd, &info);
    return identityOf(result, info);
}

FileFacts fileFacts(const std::string& path)
{
    struct stat info {};
    const int result = ::stat(path.c_str(), &info);
    return factsOf(result, info);
}

FileFacts linkFacts(const std::string& path)
{
    struct stat info {};
    const int result = ::lstat(path.c_str(), &info);
    return factsOf(result, info);
}

std::optional<std::string> linkText(const std::string& path)
{
    std::string link(4096, '\0');
    const ssize_t size = ::readlink(path.c_str(), link.data(), link.size());
    if (size < 0 || static_cast<size_t>(size) >= link.size()) {
        return std::nullopt;
    }
    link.resize(static_cast<size_t>(size));
    return link;
}

int readRegularFile(const std::string& path, std::string& bytes, FileKind& kind, size_t limit)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    if (!S_ISREG(info.st_mode)) {
        kind = kindOf(info.st_mode);
        ::close(fd);
        return EINVAL;
    }
    const int error = readAll(fd, bytes, limit);
    ::close(fd);
    return error;
}

int makeDirectory(const std::string& path)
{
    return ::mkdir(path.c_str(), 0755) == 0 ? 0 : errno;
}

int replaceFile(const std::string& target, std::string_view text, std::string& failedPath)
{
    struct stat kept {};
    const bool exists = ::stat(target.c_str(), &kept) == 0 && S_ISREG(kept.st_mode);
    const auto inPlace = [&] {
        const int error = rewriteInPlace(target, text);
        failedPath = error == 0 ? std::string() : target;
        return error;
    };
    if (exists && kept.st_nlink > 1) {
        return inPlace();
    }
    const std::string temporary = target + ".tmp." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        failedPath = temporary;
        return errno;
    }
    if (exists) {
        // Only the owner or root may give the file back to its owner; another user who may write
        // it writes it where it is.
        struct stat made {};
        if ((::fchown(fd, kept.st_uid, kept.st_gid) != 0 || ::fchmod(fd, kept.st_mode & 07777) != 0) &&
            (::fstat(fd, &made) != 0 || made.st_uid != kept.st_uid || made.st_gid != kept.st_gid)) {
            ::close(fd);
            ::unlink(temporary.c_str());
            return inPlace();
        }
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = written ? errno : savedErrno;
        failedPath = target;
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename itself lasts only once the folder is synced.
    if (const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return 0;
}

FolderLock::FolderLock(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
        error_ = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    handle_ = fd;
}

FolderLock::~FolderLock()
{
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
    }
}

int createFile(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

int openForWriting(const std::string& path, bool& made)
{
    // Made only where nothing is: never emptied, nor taken over between a look and the open.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0644);
    made = fd >= 0;
    if (fd >= 0 || errno != EEXIST) {
        return fd;
    }
    return ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
}

int emptyFile(int fd)
{
    return ::ftruncate(fd, 0) == 0 ? 0 : errno;
}

int removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int closeFile(int fd)
{
    return ::close(fd) == 0 ? 0 : errno;
}

bool writeAll(int fd, std::string_view data)
{
    return writeWhole(data, [fd](const char* bytes, size_t count, int& failure) {
        const ssize_t written = ::write(fd, bytes, count);
        failure = errno;
        return static_cast<long long>(written);
    });
}

bool canRead(const std::string& path)
{
    return ::access(path.c_str(), R_OK) == 0;
}

int writeAccess(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || ::access(path.c_str(), W_OK) != 0) {
        return errno;
    }
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? EACCES : 0;
}

void removeStaleTemporaries(const std::string& target)
{
    const size_t slash = target.find_last_of('/');
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp.";
    DIR* folder = ::opendir(folderOf(target).c_str());
    if (!folder) {
        return;
    }
    const int folderFd = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || name.size() == prefix.size() ||
            name.find_first_not_of("0123456789", prefix.size()) != std::string_view::npos ||
            name.size() - prefix.size() > 9) {
            continue;
        }
        struct stat info {};
        if (processGone(std::strtol(entry->d_name + prefix.size(), nullptr, 10)) &&
            ::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)) {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

} // namespace platform
