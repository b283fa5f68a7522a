#pragma once
// What this process holds in memory, for checks that a plug-in gives back what it takes.
//
// POSIX: the heap in use from mallinfo2, resident bytes from /proc/self/statm (-1 where there is
// none). Windows: the heap in use from a walk of the C runtime's heap, private bytes for resident.
// Not provided: memory held by other processes, or mapped but untouched.

namespace platform {

struct MemoryUse {
    long long heapInUse = -1; // bytes the allocator has handed out and not taken back; -1 when unknown
    // Bytes of the process's own pages: those resident in memory (POSIX), the private bytes
    // committed (Windows); -1 when unknown.
    long long resident = -1;
};

// This process's memory now. Walks the heap on Windows: meant for checks, not for loops.
MemoryUse memoryUse();

} // namespace platform
