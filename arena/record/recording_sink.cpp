#include "arena/record/recording_sink.h"

#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace arena {

bool FileSink::write(std::string_view text, std::string& error)
{
    if (platform::writeAll(fd_, text)) {
        return true;
    }
    error = "cannot write " + name_ + ": " + std::strerror(errno);
    return false;
}

} // namespace arena
