#pragma once
// The system's loader for plug-in libraries: open one, find its symbols, close it, and check a
// library file before the system maps it. Paths are UTF-8 on every system.

#include <string>

namespace platform {

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

// Why the file at `path` is not a complete library this process can load, read from its headers;
// empty when it is one, and also when `path` is a bare name the system searches for or no regular
// file that opens (openLibrary then gives the system's own reason).
std::string libraryFileProblem(const std::string& path);

} // namespace platform
