#pragma once
// The plug-in loaded from a private copy of its file, made in memory (or a temporary file where the
// system loads only from files). The system maps a library's file: rewritten or truncated in place
// while loaded, the pages in use would change under the running code or fault (SIGBUS). With a
// copy of its own the arena never sees the file again once loaded, and each reload reads the file
// as it is then.

#include <string>

#include "host.h"

namespace arena {

// Loads the library at `path` (messages name it so) from a copy; where a copy cannot be made or
// run (no memory files, or a system that will not run them) from the file itself. A file that is
// not a regular one, or is larger than a library may be, is refused before anything opens it.
host::LoadResult loadPrivateCopy(host::Host& host, const std::string& path);

} // namespace arena
