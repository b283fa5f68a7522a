// Library files as this system's loader takes them: PE images (DLLs).

#include <cstring>

#include "platform/library_file.h"

namespace platform {

namespace {

#if defined(__x86_64__) || defined(_M_X64)
constexpr uint16_t kMachine = 0x8664;
#elif defined(__aarch64__) || defined(_M_ARM64)
constexpr uint16_t kMachine = 0xaa64;
#elif defined(__i386__) || defined(_M_IX86)
constexpr uint16_t kMachine = 0x14c;
#else
#error "the machine's PE code is not known here"
#endif

constexpr uint16_t kMagic32 = 0x10b;
constexpr uint16_t kMagic64 = 0x20b;
constexpr uint16_t kMagic = sizeof(void*) == 8 ? kMagic64 : kMagic32;
constexpr uint16_t kDllFlag = 0x2000;
constexpr uint64_t kDosHeaderSize = 64;
constexpr uint64_t kFileHeaderSize = 4 + 20; // the signature, then the file header
constexpr uint64_t kSectionSize = 40;

std::string bytesText(uint64_t value)
{
    return std::to_string(value) + (value == 1 ? " byte" : " bytes");
}

// Little-endian fields, whatever this machine's order.
template <class Number> bool readNumber(const ReadAt& readAt, uint64_t offset, Number& value)
{
    unsigned char bytes[sizeof(Number)];
    if (!readAt(offset, bytes, sizeof bytes)) {
        return false;
    }
    value = 0;
    for (size_t i = sizeof bytes; i-- > 0;) {
        value = static_cast<Number>((value << 8) | bytes[i]);
    }
    return true;
}

} // namespace

std::string sharedLibraryProblem(uint64_t size, const ReadAt& readAt)
{
    char mark[2];
    uint32_t peOffset = 0;
    if (size < kDosHeaderSize || !readAt(0, mark, 2) || std::memcmp(mark, "MZ", 2) != 0 ||
        !readNumber(readAt, 0x3c, peOffset)) {
        return "not a PE file";
    }
    char signature[4];
    const uint64_t optional = uint64_t{peOffset} + kFileHeaderSize;
    if (optional + 2 > size) {
        return "truncated: " + bytesText(size) + ", shorter than its PE headers";
    }
    uint16_t machine = 0, sections = 0, optionalSize = 0, flags = 0, magic = 0;
    if (!readAt(peOffset, signature, 4) || std::memcmp(signature, "PE\0\0", 4) != 0) {
        return "not a PE file";
    }
    if (!readNumber(readAt, peOffset + 4, machine) || !readNumber(readAt, peOffset + 6, sections) ||
        !readNumber(readAt, peOffset + 20, optionalSize) || !readNumber(readAt, peOffset + 22, flags) ||
        !readNumber(readAt, optional, magic)) {
        return "truncated: " + bytesText(size) + ", shorter than its PE headers";
    }
    if (magic != kMagic) {
        return magic == kMagic32 ? "a 32-bit library; this process loads 64-bit ones"
                                 : "a library of another word size than this process";
    }
    if (!(flags & kDllFlag)) {
        return "a program, not a shared library";
    }
    if (machine != kMachine) {
        return "built for another machine (PE machine " + std::to_string(machine) + ")";
    }
    const uint64_t table = optional + optionalSize;
    if (sections == 0 || table > size || sections > (size - table) / kSectionSize) {
        return "truncated: its section headers end past its " + bytesText(size);
    }
    for (unsigned i = 0; i < sections; ++i) {
        uint32_t rawSize = 0, rawOffset = 0;
        const uint64_t header = table + i * kSectionSize;
        if (!readNumber(readAt, header + 16, rawSize) || !readNumber(readAt, header + 20, rawOffset)) {
            return "truncated: its section headers end past its " + bytesText(size);
        }
        if (uint64_t{rawOffset} + rawSize > size) {
            return "truncated: section " + std::to_string(i) + " ends at byte " +
                   std::to_string(uint64_t{rawOffset} + rawSize) + ", past its " + bytesText(size);
        }
    }
    return {};
}

} // namespace platform
