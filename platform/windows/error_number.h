#pragma once
// The errno value nearest to a Windows error code, for interfaces that report errno values on
// every system. Windows only.

namespace platform {

// errno's value for the Windows error `code` (GetLastError's); EIO for one without a near match.
int errorNumber(unsigned long code);

} // namespace platform
