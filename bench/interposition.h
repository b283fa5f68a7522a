#pragma once
// Whether the counting operator new of this program sees what the shared libraries allocate.

#include <set>
#include <string>

namespace bench {

// The files, by base name, whose code called operator new while the plug-in was being loaded
// into a fresh host. The allocation counts are only whole when the plug-in and the host runtime
// ("libVolanko.so", "libpluginsdk.so") are among them.
std::set<std::string> filesAllocatingAtLoad();

} // namespace bench
