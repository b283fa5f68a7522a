#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/common/whole_io.h"
#include "platform/library.h"
#include "platform/library_file.h"

namespace platform {

Library openLibrary(const std::string& path, std::string& reason)
{
    dlerror();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* error = dlerror();
        reason = error ? error : "unknown error";
    }
    return library;
}

Library openedLibrary(const std::string& path)
{
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
}

void* findSymbol(Library library, const char* name)
{
    return dlsym(library, name);
}

void closeLibrary(Library library)
{
    dlclose(library);
}

namespace {

// Why a file of `info` is no library by what it is or its size; empty when it may be one.
std::string kindProblem(const struct stat& info)
{
    const mode_t mode = info.st_mode;
    if (!S_ISREG(mode)) {
        return notRegularProblem(S_ISDIR(mode)    ? "a directory"
                                 : S_ISFIFO(mode) ? "a FIFO"
                                 : S_ISCHR(mode)  ? "a character device"
                                 : S_ISBLK(mode)  ? "a block device"
                                 : S_ISSOCK(mode) ? "a socket"
                                                  : "of another kind");
    }
    if (static_cast<uint64_t>(info.st_size) > kLibraryByteLimit) {
        return tooLargeProblem();
    }
    return {};
}

// The file at `path` opened for reading once it is known to be a regular file within the limit,
// through what was opened as well (it may have been replaced in between); -1 when it cannot be
// opened, or with `problem` set when it is not such a file.
int openRegular(const std::string& path, std::string& problem, struct stat& info)
{
    if (::stat(path.c_str(), &info) != 0) {
        return -1;
    }
    problem = kindProblem(info);
    if (!problem.empty()) {
        return -1;
    }
    // Non-blocking and never a terminal of this process: a FIFO put in its place cannot stall the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !(problem = kindProblem(info)).empty()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

LibraryRead readLibraryFile(const std::string& path, std::string& bytes)
{
    LibraryRead result;
    struct stat info {};
    const int fd = openRegular(path, result.refusal, info);
    if (fd < 0) {
        return result;
    }
    bytes.clear();
    bytes.reserve(static_cast<size_t>(info.st_size));
    // The limit holds a file that grew beyond it while read.
    const int error = readWhole(bytes, kLibraryByteLimit, [fd](char* into, size_t count, int& failure) {
        const ssize_t got = ::read(fd, into, count);
        failure = errno;
        return static_cast<long long>(got);
    });
    ::close(fd);
    return libraryReadOf(error);
}

std::string libraryFileProblem(const std::string& path)
{
    // dlopen searches its directories for a name without a slash: which file it takes is its own.
    if (path.find('/') == std::string::npos) {
        return {};
    }
    std::string problem;
    struct stat info {};
    const int fd = openRegular(path, problem, info);
    if (fd < 0) {
        return problem;
    }
    // Headers only: the process's memory stays as it was, so the library maps where it would
    // have without the check.
    problem =
        sharedLibraryProblem(static_cast<uint64_t>(info.st_size), [fd](uint64_t offset, void* into, size_t count) {
            auto* bytes = static_cast<char*>(into);
            while (count > 0) {
                const ssize_t got = ::pread(fd, bytes, count, static_cast<off_t>(offset));
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got <= 0) {
                    return false;
                }
                bytes += got;
                offset += static_cast<uint64_t>(got);
                count -= static_cast<size_t>(got);
            }
            return true;
        });
    ::close(fd);
    return problem;
}

} // namespace platform
