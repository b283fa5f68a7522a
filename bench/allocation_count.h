#pragma once
// Heap allocations made through operator new anywhere in the process: this program, the host
// runtime and the plug-in library alike. The counting operators are defined in this program, so
// the dynamic linker binds every shared library's operator new to them.

#include <cstdint>
#include <span>

namespace bench {

// Allocations since the program started. Not thread-safe: the benchmarks run on one thread.
uint64_t allocations();

// While recording, the return address of each allocation (its caller) is kept, up to a fixed
// number, without allocating. Starting clears what was kept.
void startRecordingCallers();
void stopRecordingCallers();
std::span<const void* const> recordedCallers(); // valid until the next start

} // namespace bench
