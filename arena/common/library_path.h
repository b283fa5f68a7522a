#pragma once
// Which file a plug-in library given on a command line is.

#include <string>
#include <string_view>

namespace arena {

// The system searches its own folders for a library named without a folder; a path given on the
// command line means the file, so "libx.so" becomes "./libx.so".
std::string fileLibraryPath(const std::string& path);

// The library `name` built beside this program, named as the system names libraries.
std::string defaultPluginPath(std::string_view name);

// The file `name` in this program's directory.
std::string besideProgram(std::string_view name);

} // namespace arena
