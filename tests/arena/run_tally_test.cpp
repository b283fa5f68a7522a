#include <gtest/gtest.h>

#include "arena/play/run_tally.h"

namespace {

TEST(RunTally, RunIsTakeOffToLandingWithTheHitsBetween)
{
    arena::RunTally tally;
    EXPECT_FALSE(tally.observe(false, 0.5, 0));
    EXPECT_FALSE(tally.observe(true, 1.0, 0)); // take-off
    EXPECT_FALSE(tally.observe(true, 3.0, 1));
    EXPECT_FALSE(tally.observe(true, 4.0, 1));
    EXPECT_TRUE(tally.observe(false, 6.0, 0)); // landing
    EXPECT_EQ(tally.lastRun().number, 1);
    EXPECT_EQ(tally.lastRun().hits, 2);
    EXPECT_EQ(tally.lastRun().start, 1.0);
    EXPECT_EQ(tally.lastRun().seconds, 5.0);
    EXPECT_DOUBLE_EQ(tally.meanTimeBetweenHits(), 1.5); // (2 + 1) / 2

    // A hit in the take-off frame belongs to no run, as the plug-in clears the streak then.
    EXPECT_FALSE(tally.observe(true, 7.0, 1));
    EXPECT_TRUE(tally.observe(false, 8.0, 3)); // hits in the landing frame still count
    EXPECT_EQ(tally.lastRun().hits, 3);
    EXPECT_EQ(tally.runs(), 2);
    EXPECT_EQ(tally.hits(), 6);
    EXPECT_EQ(tally.bestStreak(), 3);
    EXPECT_EQ(tally.longestRun(), 5.0);
}

TEST(RunTally, SummaryForms)
{
    arena::RunTally tally;
    tally.observe(true, 1.0, 0);
    tally.observe(true, 2.25, 1);
    tally.observe(false, 4.0, 0);
    const arena::PlayFacts facts{7, "pro", 0.875, "/home/u/a \"b\".cfg"};
    EXPECT_EQ(arena::summaryTable(tally, facts), "runs                    1\n"
                                                 "hits                    1\n"
                                                 "best streak             1\n"
                                                 "mean time between hits  1.25 s\n"
                                                 "longest run             3.00 s\n"
                                                 "seed                    7\n"
                                                 "level                   pro\n"
                                                 "skill                   0.88\n"
                                                 "configuration           /home/u/a \"b\".cfg\n");
    EXPECT_EQ(arena::summaryJson(tally, facts),
              "{\"runs\":1,\"hits\":1,\"bestStreak\":1,\"meanTimeBetweenHits\":1.25,\"longestRun\":3,\"seed\":7,"
              "\"level\":\"pro\",\"skill\":0.875,\"configuration\":\"/home/u/a \\\"b\\\".cfg\"}\n");
    EXPECT_EQ(arena::runLine(tally.lastRun()), "run 1: 1 hit in 3.00 s (took off at 1.00 s)");
    EXPECT_EQ(arena::summaryJson(arena::RunTally{}, {0, "", 0.5, ""}),
              "{\"runs\":0,\"hits\":0,\"bestStreak\":0,\"meanTimeBetweenHits\":null,\"longestRun\":0,\"seed\":0,"
              "\"level\":\"\",\"skill\":0.5,\"configuration\":null}\n");
}

} // namespace
