#include <sys/mman.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/private_copy.h"

namespace platform {

PrivateCopy::PrivateCopy(std::string_view name, std::string_view bytes)
{
    const int fd = ::memfd_create(std::string(name).c_str(), MFD_CLOEXEC);
    if (fd < 0) {
        return;
    }
    if (!writeAll(fd, bytes)) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    path_ = "/proc/self/fd/" + std::to_string(fd);
}

PrivateCopy::~PrivateCopy()
{
    if (fd_ >= 0) {
        ::close(fd_); // the mapping keeps the copy for as long as the library stays loaded
    }
}

} // namespace platform
