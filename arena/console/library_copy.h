#pragma once
// The plug-in loaded from a private copy of its file, made in memory (or a temporary file where the
// system loads only from files). The system maps a library's file: rewritten or truncated in place
// while loaded, the pages in use would change under the running code or fault (SIGBUS). With a
// copy of its own the arena never sees the file again once loaded, and each reload reads the file
// as it is then.

#include <functional>
#include <string>

#include "runtime/host.h"

namespace arena {

// A first load of the library at `file` where its crash cannot end this process; empty when it
// came through (whether it loaded or was refused: the real load then says the same), else why the
// library is refused.
using LoadTrial = std::function<std::string(const std::string& file)>;

// Loads the library at `path` (messages name it so) from a copy; where a copy cannot be made or
// run (no memory files, or a system that will not run them) from the file itself. A file that is
// not a regular one, or is larger than a library may be, is refused before anything opens it. With
// `trial`, what is about to be loaded is tried there first.
runtime::LoadResult loadPrivateCopy(runtime::Host& host, const std::string& path, const LoadTrial& trial = {});

} // namespace arena
