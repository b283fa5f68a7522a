// Replaces the global allocation functions with counting ones over malloc.

#include "bench/allocation_count.h"

#include <cstdlib>
#include <new>

namespace {

uint64_t count = 0;

constexpr std::size_t kMaxCallers = 4096;
const void* callers[kMaxCallers];
std::size_t callerCount = 0;
bool recording = false;

void note(const void* caller)
{
    ++count;
    if (recording && callerCount < kMaxCallers) {
        callers[callerCount++] = caller;
    }
}

void* allocate(std::size_t size)
{
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (!memory) {
        throw std::bad_alloc();
    }
    return memory;
}

void* allocateAligned(std::size_t size, std::align_val_t alignment)
{
    const auto align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = (size + align - 1) / align * align;
    void* memory = std::aligned_alloc(align, rounded == 0 ? align : rounded);
    if (!memory) {
        throw std::bad_alloc();
    }
    return memory;
}

} // namespace

namespace bench {

uint64_t allocations()
{
    return count;
}

void startRecordingCallers()
{
    callerCount = 0;
    recording = true;
}

void stopRecordingCallers()
{
    recording = false;
}

std::span<const void* const> recordedCallers()
{
    return {callers, callerCount};
}

} // namespace bench

// __builtin_return_address names the code that asked for memory, whichever library it lives in.

void* operator new(std::size_t size)
{
    note(__builtin_return_address(0));
    return allocate(size);
}

void* operator new[](std::size_t size)
{
    note(__builtin_return_address(0));
    return allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    note(__builtin_return_address(0));
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    note(__builtin_return_address(0));
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    note(__builtin_return_address(0));
    return allocateAligned(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    note(__builtin_return_address(0));
    return allocateAligned(size, alignment);
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    note(__builtin_return_address(0));
    try {
        return allocateAligned(size, alignment);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    note(__builtin_return_address(0));
    try {
        return allocateAligned(size, alignment);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::align_val_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::align_val_t) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t, std::align_val_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(memory);
}
