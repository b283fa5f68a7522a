// Library files the loader must refuse before the system maps them, each with its reason: a
// truncated one would otherwise fault (SIGBUS) in the middle of the load.

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "broken_plugin_path.h"
#include "host.h"
#include "library_file.h"

namespace {

std::string builtLibrary()
{
    std::ostringstream bytes;
    bytes << std::ifstream(VOLANKO_PLUGIN_PATH, std::ios::binary).rdbuf();
    return bytes.str();
}

template <class Field> void poke(std::string& bytes, size_t offset, Field value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// The first loadable segment's header.
size_t firstLoad(const std::string& bytes)
{
    ElfW(Ehdr) header;
    std::memcpy(&header, bytes.data(), sizeof header);
    for (size_t i = 0, at = header.e_phoff; i < header.e_phnum; ++i, at += sizeof(ElfW(Phdr))) {
        ElfW(Phdr) segment;
        std::memcpy(&segment, bytes.data() + at, sizeof segment);
        if (segment.p_type == PT_LOAD) {
            return at;
        }
    }
    return 0;
}

TEST(LibraryFile, IncompleteOrForeignLibrariesAreRefusedWithTheirReason)
{
    const std::string good = builtLibrary();
    ASSERT_GT(good.size(), 20000u);
    ASSERT_EQ(host::sharedLibraryProblem(good), "");
    const std::string size = std::to_string(good.size());
    std::string noSections = good;
    poke(noSections, offsetof(ElfW(Ehdr), e_shnum), ElfW(Half){0});
    std::string longSegment = noSections;
    poke(longSegment, firstLoad(good) + offsetof(ElfW(Phdr), p_filesz), ElfW(Xword){good.size() + 1});
    std::string thirtyTwo = good;
    thirtyTwo[EI_CLASS] = ELFCLASS32;
    std::string program = good;
    poke(program, offsetof(ElfW(Ehdr), e_type), ElfW(Half){ET_EXEC});
    std::string arm = good;
    poke(arm, offsetof(ElfW(Ehdr), e_machine), ElfW(Half){EM_ARM});
    std::string farHeaders = good;
    poke(farHeaders, offsetof(ElfW(Ehdr), e_phoff), ElfW(Off){~ElfW(Off){0} - 8});

    const struct {
        std::string bytes;
        std::string reason;
    } cases[] = {
        {good.substr(0, 20000), "truncated: its section headers end past its 20000 bytes"},
        {noSections.substr(0, 20000), "truncated: loadable segment "},
        {longSegment, "truncated: loadable segment "},
        {good.substr(0, 40), "truncated: 40 bytes, shorter than its ELF header"},
        {farHeaders, "truncated: its program headers end past its " + size + " bytes"},
        {thirtyTwo, "a 32-bit library; this process loads 64-bit ones"},
        {program, "a program, not a shared library"},
        {arm, "built for another machine (ELF machine 40)"},
        {"\x7f"
         "EL",
         "not an ELF file"},
        {"", "not an ELF file"},
    };
    char pattern[] = "/tmp/library-file-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/lib.so";
    host::Host host{1};
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        const host::LoadResult loaded = host.load(path);
        EXPECT_TRUE(loaded.error.starts_with(path + ": cannot be opened as a library: " + c.reason))
            << c.reason << " / " << loaded.error;
    }
    std::remove(path.c_str());
    ::rmdir(pattern);

    // A library the process already has for itself is not a plug-in because of what it lacks.
    void* libm = dlopen("libm.so.6", RTLD_NOW | RTLD_NOLOAD);
    link_map* map = nullptr;
    ASSERT_TRUE(libm && dlinfo(libm, RTLD_DI_LINKMAP, &map) == 0);
    const std::string libmPath = map->l_name;
    dlclose(libm);
    EXPECT_EQ(host.load(libmPath).error, libmPath + ": no \"exports\" record");
    EXPECT_TRUE(host.plugins.empty());
}

} // namespace
