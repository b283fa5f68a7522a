#include <cerrno>
#include <cstring>
#include <string>

#include "platform/library.h"
#include "platform/library_file.h"

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

std::string notRegularProblem(std::string_view kind)
{
    std::string problem = "it is ";
    problem += kind;
    problem += ", not a regular file";
    return problem;
}

LibraryRead libraryReadOf(int error)
{
    LibraryRead result;
    result.read = error == 0;
    if (error == EFBIG) {
        result.refusal = tooLargeProblem();
    }
    return result;
}

std::string tooLargeProblem()
{
    return "it is larger than " + std::to_string(kLibraryByteLimit >> 20) + " MiB, the most a plug-in library may hold";
}

} // namespace platform
