#include <windows.h>

#include <malloc.h>
#include <psapi.h>

#include "platform/memory_use.h"

namespace platform {

MemoryUse memoryUse()
{
    MemoryUse use;
    _HEAPINFO entry{};
    long long used = 0;
    int status = _HEAPOK;
    while ((status = _heapwalk(&entry)) == _HEAPOK) {
        if (entry._useflag == _USEDENTRY) {
            used += static_cast<long long>(entry._size);
        }
    }
    if (status == _HEAPEND) {
        use.heapInUse = used;
    }
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters)) {
        // Some systems that run Windows programs do not count private bytes: unknown, not none.
        use.resident = counters.PrivateUsage > 0 ? static_cast<long long>(counters.PrivateUsage) : -1;
    }
    return use;
}

} // namespace platform
