#include "arena/common/bounded_read.h"

#include <cerrno>
#include <cstring>

#include "arena/common/concat.h"
#include "platform/files.h"

namespace arena {

std::optional<std::string> readBounded(const std::string& path, size_t limit, std::string_view what, std::string& why,
                                       bool& refused)
{
    std::string bytes;
    platform::FileKind kind = platform::FileKind::Regular;
    const int error = platform::readRegularFile(path, bytes, kind, limit);
    refused = true;
    if (error == 0) {
        return bytes;
    }
    if (kind != platform::FileKind::Regular) {
        why = concat("it is ", platform::fileKindName(kind));
    } else if (error == EFBIG) {
        why = concat("it is larger than ", std::to_string(limit >> 20), " MiB, the most ", what, " may be");
    } else if (platform::fileFacts(path).kind == platform::FileKind::Directory) {
        // Windows opens no folder as a file: it cannot say what it opened.
        why = "it is a directory";
    } else {
        why = std::strerror(error);
        refused = false;
    }
    return std::nullopt;
}

} // namespace arena
