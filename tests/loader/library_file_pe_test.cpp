// DLL files the loader must refuse before the system maps them, each with its reason, read from
// the headers of the built plug-in with one field spoiled at a time.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/library_file.h"
#include "runtime/host.h"

namespace {

std::string builtLibrary()
{
    std::ostringstream bytes;
    bytes << std::ifstream(VOLANKO_PLUGIN_PATH, std::ios::binary).rdbuf();
    return bytes.str();
}

uint32_t readNumber(const std::string& bytes, size_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST(LibraryFile, IncompleteOrForeignDllsAreRefusedWithTheirReason)
{
    const std::string good = builtLibrary();
    ASSERT_GT(good.size(), 20000u);
    ASSERT_EQ(platform::sharedLibraryProblem(good), "");
    const size_t pe = readNumber(good, 0x3c);
    const auto changed = [&](size_t offset, uint16_t value) {
        std::string bytes = good;
        std::memcpy(bytes.data() + offset, &value, sizeof value);
        return bytes;
    };
    const std::string size = std::to_string(good.size());

    const struct {
        std::string bytes;
        std::string reason;
    } cases[] = {
        // Not one byte short: a MinGW DLL ends in its symbol table, which no section maps.
        {good.substr(0, good.size() / 2), "truncated: section "},
        {good.substr(0, pe + 20), "truncated: " + std::to_string(pe + 20) + " bytes, shorter than its PE headers"},
        {changed(pe + 6, 0xffff), "truncated: its section headers end past its " + size + " bytes"},
        {changed(pe + 24, 0x10b), "a 32-bit library; this process loads 64-bit ones"},
        {changed(pe + 22, 0x0022), "a program, not a shared library"},
        {changed(pe + 4, 0xaa64), "built for another machine (PE machine 43620)"},
        {changed(pe, 0), "not a PE file"},
        {"MZ", "not a PE file"},
    };
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "volanko-library-file";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "broken.dll").string();
    runtime::Host host{1};
    for (const auto& c : cases) {
        EXPECT_TRUE(platform::sharedLibraryProblem(c.bytes).starts_with(c.reason)) << c.reason;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        const runtime::LoadResult loaded = host.load(path);
        EXPECT_TRUE(loaded.problem == runtime::LoadProblem::NotALibrary && loaded.detail.starts_with(c.reason))
            << c.reason << " / " << loaded.detail;
    }
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(host.plugins().empty());
}

} // namespace
