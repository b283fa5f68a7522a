// The record the host reads from the library, field by field.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "opened_library.h"

namespace {

TEST(ExportsRecord, Fields)
{
    OpenedLibrary library;
    ASSERT_TRUE(library.ready()) << dlerror();
    const BakkesMod::Plugin::PluginDescriptor& record = *library.record;
    EXPECT_EQ(record.hostApiVersion, 95);
    ASSERT_NE(record.sourceFile, nullptr);
    EXPECT_GT(std::strlen(record.sourceFile), 0u);
    EXPECT_STREQ(record.pluginClass, "Volanko");
    EXPECT_STREQ(record.displayName, "Volanko");
    EXPECT_STREQ(record.versionText, "1.0");
    EXPECT_EQ(record.kindFlags, 0u);
    EXPECT_EQ(reinterpret_cast<void*>(record.createFunction), dlsym(library.handle(), "getPlugin"));
    EXPECT_EQ(reinterpret_cast<void*>(record.destroyFunction), dlsym(library.handle(), "deleteMe"));
}

TEST(ExportsRecord, AlignmentGapsAreZero)
{
    OpenedLibrary library;
    ASSERT_TRUE(library.ready()) << dlerror();
    unsigned char bytes[sizeof(BakkesMod::Plugin::PluginDescriptor)];
    std::memcpy(bytes, library.record, sizeof bytes);
    for (const size_t offset : {4u, 5u, 6u, 7u, 44u, 45u, 46u, 47u}) {
        EXPECT_EQ(bytes[offset], 0) << "byte " << offset;
    }
    int32_t version = 0;
    std::memcpy(&version, bytes, sizeof version);
    EXPECT_EQ(version, 95) << "little-endian at offset 0";
}

} // namespace
