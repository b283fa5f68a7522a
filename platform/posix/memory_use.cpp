#include <malloc.h>
#include <unistd.h>

#include <cstdio>

#include "platform/memory_use.h"

namespace platform {

namespace {

long long residentBytes()
{
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file) {
        return -1;
    }
    long total = 0;
    long resident = 0;
    const int read = std::fscanf(file, "%ld %ld", &total, &resident);
    std::fclose(file);
    return read == 2 ? static_cast<long long>(resident) * ::sysconf(_SC_PAGESIZE) : -1;
}

} // namespace

MemoryUse memoryUse()
{
    return {static_cast<long long>(::mallinfo2().uordblks), residentBytes()};
}

} // namespace platform
