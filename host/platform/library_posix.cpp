#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "library.h"
#include "library_file.h"

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

std::string libraryFileProblem(const std::string& path)
{
    // dlopen searches its directories for a name without a slash: which file it takes is its own.
    if (path.find('/') == std::string::npos) {
        return {};
    }
    // Non-blocking, so that a FIFO named as a library cannot stall the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return {};
    }
    struct stat info {};
    std::string problem;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
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
    }
    ::close(fd);
    return problem;
}

} // namespace platform
