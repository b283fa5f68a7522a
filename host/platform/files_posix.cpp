#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files.h"

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
    bytes.clear();
    // The size said up front may be wrong (files of /proc say 0), so the bound holds as it reads.
    if (static_cast<uintmax_t>(info.st_size) > limit) {
        ::close(fd);
        return EFBIG;
    }
    int error = 0;
    char buffer[8192];
    for (ssize_t got = 0; error == 0 && (got = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno != EINTR) {
            error = errno;
        } else if (got > 0 && static_cast<size_t>(got) > limit - bytes.size()) {
            error = EFBIG;
        } else if (got > 0) {
            bytes.append(buffer, static_cast<size_t>(got));
        }
    }
    ::close(fd);
    return error;
}

int makeDirectory(const std::string& path)
{
    return ::mkdir(path.c_str(), 0755) == 0 ? 0 : errno;
}

int replaceFile(const std::string& target, std::string_view text, std::string& failedPath)
{
    const std::string temporary = target + ".tmp." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        failedPath = temporary;
        return errno;
    }
    if (struct stat kept{}; ::stat(target.c_str(), &kept) == 0 && S_ISREG(kept.st_mode)) {
        // Best effort: only the owner or root may give the file back to its owner.
        [[maybe_unused]] const int owned = ::fchown(fd, kept.st_uid, kept.st_gid);
        ::fchmod(fd, kept.st_mode & 07777);
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
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written <= 0) {
            if (written < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool canRead(const std::string& path)
{
    return ::access(path.c_str(), R_OK) == 0;
}

} // namespace platform
