// The allocation figures and the floor that the benchmarks report, checked without timing: the
// counting operator new sees both libraries, a steady frame allocates nothing, and the floor
// still makes the plug-in's calls.

#include <gtest/gtest.h>

#include <new>
#include <set>
#include <string>

#include "allocation_count.h"
#include "drill_session.h"
#include "interposition.h"

namespace {

TEST(AllocationCount, SeesTheHostRuntimeAndThePluginLibrary)
{
    const std::set<std::string> files = bench::filesAllocatingAtLoad();
    EXPECT_TRUE(files.contains("libVolanko.so"));
    EXPECT_TRUE(files.contains("libpluginsdk.so"));
}

TEST(AllocationCount, CountsEachFormOfOperatorNew)
{
    // Called as functions: the compiler may leave out a new-expression whose memory is unused.
    const uint64_t before = bench::allocations();
    ::operator delete(::operator new(16));
    ::operator delete[](::operator new[](16));
    ::operator delete(::operator new(16, std::nothrow));
    ::operator delete (::operator new (64, std::align_val_t{64}), std::align_val_t{64});
    EXPECT_EQ(bench::allocations() - before, 4u);
}

class SteadyFrame : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ready()) << session.error; }

    // Allocations made by `frames` drawn frames, the game clock advancing 1/120 s per frame.
    uint64_t allocationsOver(int frames)
    {
        const uint64_t before = bench::allocations();
        for (int frame = 0; frame < frames; ++frame) {
            session.host.world.clock += 1.0 / 120;
            session.host.drawFrame();
        }
        return bench::allocations() - before;
    }

    bench::DrillSession session;
};

TEST_F(SteadyFrame, HoldsTheBallAndDrawsTheOverlayWithoutTheHeap)
{
    EXPECT_EQ(allocationsOver(600), 0u);
    // Not a frame that skipped its work: the four lines are drawn and nothing was refused.
    ASSERT_EQ(session.host.canvas.draws().size(), 4u);
    EXPECT_EQ(session.host.canvas.draws()[0].text.substr(0, 14), "Current Time: ");
    EXPECT_TRUE(session.host.faults.reports.empty());
}

TEST_F(SteadyFrame, BannerFramesAfterTheFirstAllocateNothing)
{
    session.host.world.car()->contact = host::Contact::Ground;
    // The landing frame records a fifth text for the first time; the canvas keeps its slot.
    session.host.drawFrame();
    EXPECT_EQ(allocationsOver(120), 0u);
    ASSERT_EQ(session.host.canvas.draws().size(), 5u);
    EXPECT_EQ(session.host.canvas.draws()[4].text, "Failed!");
}

TEST(Floor, MakesTheCallsThePluginMakes)
{
    EXPECT_EQ(bench::floorMismatch(), "");
}

} // namespace
