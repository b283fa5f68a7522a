// The allocation figures and the floor that the benchmarks report, checked without timing: the
// counting operator new sees both libraries, a steady frame allocates nothing, and the floor
// still makes the plug-in's calls.

#include <gtest/gtest.h>

#include <new>
#include <set>
#include <string>
#include <utility>

#include "bench/allocation_count.h"
#include "bench/drill_session.h"
#include "bench/interposition.h"

namespace {

TEST(AllocationCount, SeesBothLibrariesAndEachFormOfOperatorNew)
{
    const std::set<std::string> files = bench::filesAllocatingAtLoad();
    EXPECT_TRUE(files.contains("libVolanko.so") && files.contains("libpluginsdk.so"));
    // Called as functions: the compiler may leave out a new-expression whose memory is unused.
    const uint64_t before = bench::allocations();
    ::operator delete(::operator new(16));
    ::operator delete[](::operator new[](16));
    ::operator delete(::operator new(16, std::nothrow));
    ::operator delete (::operator new (64, std::align_val_t{64}), std::align_val_t{64});
    EXPECT_EQ(bench::allocations() - before, 4u);
}

// Steady frames, the game clock advancing 1/120 s each, allocate nothing; also those with the
// banner, once the landing frame has recorded its fifth text. They are not frames that skipped
// their work: all texts are drawn and nothing was refused.
TEST(SteadyFrame, HoldsTheBallAndDrawsTheOverlayWithoutTheHeap)
{
    bench::DrillSession session;
    ASSERT_TRUE(session.ready()) << session.error;
    for (const auto& [frames, texts] : {std::pair{600, size_t{4}}, std::pair{120, size_t{5}}}) {
        const uint64_t before = bench::allocations();
        for (int frame = 0; frame < frames; ++frame) {
            session.host.driveWorld().clock += 1.0 / 120;
            session.host.drawFrame();
        }
        EXPECT_EQ(bench::allocations() - before, 0u);
        ASSERT_EQ(session.host.canvas().draws().size(), texts);
        EXPECT_EQ(session.host.canvas().draws()[texts - 1].text.substr(0, 7), texts == 4 ? "Average" : "Failed!");
        session.host.driveWorld().car()->contact = runtime::Contact::Ground;
        session.host.drawFrame();
    }
    EXPECT_TRUE(session.host.faults().reports.empty());
}

TEST(Floor, MakesTheCallsThePluginMakes)
{
    EXPECT_EQ(bench::floorMismatch(), "");
}

} // namespace
