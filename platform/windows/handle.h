#pragma once
// Whole writes to a Windows file handle, for the Windows files that write through handles. Windows
// only.

#include <string_view>

namespace platform {

// Writes all of `data` to `file` (a HANDLE open for writing), in pieces the system takes. False on
// an error; GetLastError tells why.
bool writeHandle(void* file, std::string_view data);

} // namespace platform
