#include <cstring>

#include "library_file.h"

namespace platform {

std::string sharedLibraryProblem(std::string_view bytes)
{
    return sharedLibraryProblem(bytes.size(), [bytes](uint64_t offset, void* into, size_t count) {
        if (offset > bytes.size() || count > bytes.size() - offset) {
            return false;
        }
        std::memcpy(into, bytes.data() + offset, count);
        return true;
    });
}

} // namespace platform
