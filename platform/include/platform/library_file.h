#pragma once
// What a plug-in library file must be before the system maps it: complete, for this machine and
// this process's word size. A truncated file would map, then fault when a page past its end is
// touched.
//
// POSIX: ELF files for this machine and word size. Windows: PE images (DLLs) for this machine.
// Not provided: whether the library's symbols resolve; only loading it tells.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Copies `count` bytes at `offset` of the file into `into`; false when they are not all there.
using ReadAt = std::function<bool(uint64_t offset, void* into, size_t count)>;

// Why the `fileSize` bytes that `readAt` reads are not a complete shared library for this process
// (its headers and every part the system maps lie inside the file); empty when they are one. Only
// the headers are read.
std::string sharedLibraryProblem(uint64_t fileSize, const ReadAt& readAt);

// The same for a whole file's content held in memory.
std::string sharedLibraryProblem(std::string_view bytes);

// Why a library file that is `kind` ("a FIFO") is refused: it is not a regular file.
std::string notRegularProblem(std::string_view kind);

// Why a library file larger than kLibraryByteLimit is refused.
std::string tooLargeProblem();

// What a whole read of a library file that ended with `error` (0, EFBIG past kLibraryByteLimit, or
// why it failed) tells.
struct LibraryRead;
LibraryRead libraryReadOf(int error);

} // namespace platform
