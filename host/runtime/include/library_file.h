#pragma once
// What a plug-in library file must be before the loader lets the system map it: a complete ELF
// shared library for this machine. A truncated file would map, then fault (SIGBUS) when a page
// past its end is touched.

#include <string>
#include <string_view>

namespace host {

// Why `bytes`, the whole content of a file, is not a complete shared library that this process
// can load (its headers and every loadable segment inside the file); empty when it is one.
std::string sharedLibraryProblem(std::string_view bytes);

} // namespace host
