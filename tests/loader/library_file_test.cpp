// Library files the loader must refuse before the system maps them, each with its reason: a
// truncated one would otherwise fault (SIGBUS) in the middle of the load.

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/library_file.h"
#include "runtime/host.h"

namespace {

std::string builtLibrary()
{
    std::ostringstream bytes;
    bytes << std::ifstream(VOLANKO_PLUGIN_PATH, std::ios::binary).rdbuf();
    return bytes.str();
}

TEST(LibraryFile, IncompleteOrForeignLibrariesAreRefusedWithTheirReason)
{
    const std::string good = builtLibrary();
    ASSERT_GT(good.size(), 20000u);
    ASSERT_EQ(platform::sharedLibraryProblem(good), "");
    const auto changed = [&](size_t offset, auto value) {
        std::string bytes = good;
        std::memcpy(bytes.data() + offset, &value, sizeof value);
        return bytes;
    };
    std::string thirtyTwo = good;
    thirtyTwo[EI_CLASS] = ELFCLASS32;

    const struct {
        std::string bytes;
        std::string reason;
    } cases[] = {
        {good.substr(0, 20000), "truncated: its section headers end past its 20000 bytes"},
        {changed(offsetof(ElfW(Ehdr), e_shnum), ElfW(Half){0}).substr(0, 20000), "truncated: loadable segment "},
        {good.substr(0, 40), "truncated: 40 bytes, shorter than its ELF header"},
        {changed(offsetof(ElfW(Ehdr), e_phoff), ~ElfW(Off){0} - 8),
         "truncated: its program headers end past its " + std::to_string(good.size()) + " bytes"},
        {thirtyTwo, "a 32-bit library; this process loads 64-bit ones"},
        {changed(offsetof(ElfW(Ehdr), e_type), ElfW(Half){ET_EXEC}), "a program, not a shared library"},
        {changed(offsetof(ElfW(Ehdr), e_machine), ElfW(Half){EM_ARM}), "built for another machine (ELF machine 40)"},
        {"\x7f", "not an ELF file"},
    };
    char pattern[] = "/tmp/library-file-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string path = std::string(pattern) + "/lib.so";
    runtime::Host host{1};
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        const runtime::LoadResult loaded = host.load(path);
        EXPECT_TRUE(loaded.problem == runtime::LoadProblem::NotALibrary && loaded.detail.starts_with(c.reason))
            << c.reason << " / " << loaded.detail;
    }
    ::unlink(path.c_str());
    ::rmdir(pattern);

    // A library the process already has for itself is not a plug-in because of what it lacks.
    void* libm = dlopen("libm.so.6", RTLD_NOW | RTLD_NOLOAD);
    link_map* map = nullptr;
    ASSERT_TRUE(libm && dlinfo(libm, RTLD_DI_LINKMAP, &map) == 0);
    const std::string libmPath = map->l_name;
    dlclose(libm);
    EXPECT_EQ(host.load(libmPath).problem, runtime::LoadProblem::NoRecord);
    EXPECT_TRUE(host.plugins().empty());
}

} // namespace
