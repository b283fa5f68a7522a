#pragma once
// The system's loader for plug-in libraries: open one, find its symbols, close it, and check a
// library file before the system maps it. Paths are UTF-8 on every system.
//
// POSIX: dlopen, dlsym and dlclose. Windows: LoadLibraryExW (with a folder in the path, the
// libraries it depends on looked for beside it first), GetProcAddress and FreeLibrary.
// Not provided: a library's own dependencies listed or checked.

#include <cstdint>
#include <string>

namespace platform {

// The most bytes a plug-in library file may hold: many times any plug-in's, few enough to read the
// file whole into memory.
inline constexpr uint64_t kLibraryByteLimit = uint64_t{256} << 20;

struct LibraryRead {
    bool read = false;   // the whole file is in the bytes given
    std::string refusal; // why the file is no library by what it is or its size ("it is a FIFO, not
                         // a regular file"); empty when it is none of those
};

// Reads the library file at `path` whole into `bytes` when it is a regular file of at most
// kLibraryByteLimit bytes; what it is is asked before it is opened, so that a FIFO, a device or a
// folder is never opened, and the read stops at the limit. Neither read nor refused: it cannot be
// opened or read (openLibrary then gives the system's reason).
LibraryRead readLibraryFile(const std::string& path, std::string& bytes);

// An open library, valid until closeLibrary; null stands for none.
using Library = void*;

// Opens the library at `path` with all it depends on resolved now, private to its opener. On
// failure: null, and the system's reason in `reason`.
Library openLibrary(const std::string& path, std::string& reason);

// The library at `path` when this process has it open already, as one more reference that the
// caller closes; null when it is not open (it is never opened here).
Library openedLibrary(const std::string& path);

// The address of what `library` exports as `name`; null when it exports no such name.
void* findSymbol(Library library, const char* name);

// Gives up one reference to `library`; at the last the system unmaps it and every address found
// in it becomes invalid.
void closeLibrary(Library library);

// Why the file at `path` is not a complete library this process can load: not a regular file (asked
// before it is opened), larger than kLibraryByteLimit, or what its headers say; empty when it is
// one, and also when `path` is a bare name the system searches for or a file that does not open
// (openLibrary then gives the system's own reason).
std::string libraryFileProblem(const std::string& path);

} // namespace platform
