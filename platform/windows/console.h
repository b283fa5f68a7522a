#pragma once
// The console behind a C stream, for the Windows files that talk to it. Windows only.

#include <cstdio>

namespace platform {

// The console handle (a HANDLE) that `stream` reads from or writes to; null when the stream is
// redirected to a file or pipe. The handle belongs to the stream: it is never closed here.
void* consoleOf(std::FILE* stream);

} // namespace platform
