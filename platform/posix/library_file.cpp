// Library files as this system's loader takes them: ELF shared objects.

#include <elf.h>
#include <link.h>

#include <cstring>

#include "platform/library_file.h"

namespace platform {

namespace {

#if defined(__x86_64__)
constexpr int kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr int kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr int kMachine = EM_386;
#elif defined(__arm__)
constexpr int kMachine = EM_ARM;
#elif defined(__riscv)
constexpr int kMachine = EM_RISCV;
#else
#error "the machine's ELF code is not known here"
#endif

constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kData = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;

// Whether [offset, offset + count × size) lies inside `fileSize` bytes, without overflow.
bool inside(uint64_t offset, uint64_t count, uint64_t size, uint64_t fileSize)
{
    return offset <= fileSize && (size == 0 || count <= (fileSize - offset) / size);
}

std::string bytesText(uint64_t value)
{
    return std::to_string(value) + (value == 1 ? " byte" : " bytes");
}

} // namespace

std::string sharedLibraryProblem(uint64_t size, const ReadAt& readAt)
{
    unsigned char ident[EI_NIDENT];
    if (size < EI_NIDENT || !readAt(0, ident, sizeof ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0) {
        return "not an ELF file";
    }
    if (ident[EI_CLASS] != kClass) {
        return ident[EI_CLASS] == ELFCLASS32 ? "a 32-bit library; this process loads 64-bit ones"
                                             : "a library of another word size than this process";
    }
    if (ident[EI_DATA] != kData) {
        return "a library of the other byte order";
    }
    ElfW(Ehdr) header;
    if (size < sizeof header || !readAt(0, &header, sizeof header)) {
        return "truncated: " + bytesText(size) + ", shorter than its ELF header";
    }
    if (header.e_type != ET_DYN) {
        return header.e_type == ET_EXEC ? "a program, not a shared library"
                                        : "not a shared library (ELF type " + std::to_string(header.e_type) + ")";
    }
    if (header.e_machine != kMachine) {
        return "built for another machine (ELF machine " + std::to_string(header.e_machine) + ")";
    }
    if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0) {
        return "no usable program headers";
    }
    if (!inside(header.e_phoff, header.e_phnum, sizeof(ElfW(Phdr)), size)) {
        return "truncated: its program headers end past its " + bytesText(size);
    }
    if (header.e_shnum != 0 && !inside(header.e_shoff, header.e_shnum, header.e_shentsize, size)) {
        return "truncated: its section headers end past its " + bytesText(size);
    }
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        if (!readAt(header.e_phoff + i * sizeof segment, &segment, sizeof segment)) {
            return "truncated: its program headers end past its " + bytesText(size);
        }
        if (segment.p_type != PT_LOAD) {
            continue;
        }
        if (!inside(segment.p_offset, segment.p_filesz, 1, size)) {
            return "truncated: loadable segment " + std::to_string(i) + " ends at byte " +
                   std::to_string(segment.p_offset + segment.p_filesz) + ", past its " + bytesText(size);
        }
        if (segment.p_filesz > segment.p_memsz) {
            return "loadable segment " + std::to_string(i) + " is larger in the file than in memory";
        }
    }
    return {};
}

} // namespace platform
