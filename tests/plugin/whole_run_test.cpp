// One practice run from take-off to landing, frame by frame, as the player sees it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "volanko_fixture.h"

namespace {

class WholeRun : public VolankoTest {
protected:
    void SetUp() override
    {
        VolankoTest::SetUp();
        setLocation("1000", "2000", "500");
        ASSERT_TRUE(host.console.set("volanko_throwlevel", "easy"));
        startDrill();
    }

    // Draws a frame at `clock` and gives its texts, "Failed!" included when drawn.
    std::vector<std::string> overlayAt(double clock)
    {
        frameAt(clock);
        return texts();
    }

    static std::vector<std::string> overlay(const char* time, const char* streak, const char* best, const char* average,
                                            bool failed = false)
    {
        std::vector<std::string> lines = {std::string("Current Time: ") + time,
                                          std::string("Current Streak: ") + streak, std::string("Best Streak: ") + best,
                                          std::string("Average Time: ") + average};
        if (failed) {
            lines.emplace_back("Failed!");
        }
        return lines;
    }

    void expectBallHeldAtTheTarget()
    {
        const host::Actor& ball = *host.world.ball();
        EXPECT_EQ(ball.location.x, 1000);
        EXPECT_EQ(ball.location.y, 2000);
        EXPECT_EQ(ball.location.z, 500);
        EXPECT_EQ(ball.velocity.x, 0);
        EXPECT_EQ(ball.velocity.z, 0);
    }
};

TEST_F(WholeRun, TakeOffThreeHitsLandingAndTheBanner)
{
    // Waiting on the ground: the ball hangs at the lowest height, the clock runs from 0.
    EXPECT_EQ(overlayAt(1.0), overlay("1.000000", "0", "0", "0.000000"));
    EXPECT_EQ(host.world.ball()->location.z, 100);

    // Take-off: a run begins with a reset in this very frame.
    host.world.car()->contact = host::Contact::Air;
    EXPECT_EQ(overlayAt(2.0), overlay("0.000000", "0", "0", "0.000000"));
    EXPECT_TRUE(volanko().airborne);
    EXPECT_EQ(host.world.car()->location.x, -1000) << "the car was put on the far side";
    EXPECT_GT(host.world.car()->velocity.y, 0) << "and thrown towards the ball";
    EXPECT_EQ(overlayAt(2.5), overlay("0.500000", "0", "0", "0.000000"));
    expectBallHeldAtTheTarget();

    // Three hits; the ball is moved back between them by the frames.
    host.world.ball()->velocity = {900, 0, 900};
    hitAt(3.0);
    EXPECT_EQ(overlayAt(3.25), overlay("0.250000", "1", "1", "1.000000"));
    expectBallHeldAtTheTarget();
    hitAt(5.0);
    EXPECT_EQ(overlayAt(5.25), overlay("0.250000", "2", "2", "1.500000"));
    hitAt(5.5);
    EXPECT_EQ(overlayAt(6.0), overlay("0.500000", "3", "3", "1.166667"));
    expectBallHeldAtTheTarget();

    // Landing at 7: the banner for two seconds, the streak left on show.
    host.world.car()->contact = host::Contact::Ground;
    EXPECT_EQ(overlayAt(7.0), overlay("1.500000", "3", "3", "1.166667", true));
    EXPECT_FALSE(volanko().airborne);
    EXPECT_EQ(overlayAt(7.5), overlay("2.000000", "3", "3", "1.166667", true));
    EXPECT_EQ(overlayAt(8.75), overlay("3.250000", "3", "3", "1.166667", true));
    EXPECT_EQ(overlayAt(9.0), overlay("3.500000", "3", "3", "1.166667")) << "gone once the time is reached";
    EXPECT_EQ(overlayAt(9.5), overlay("4.000000", "3", "3", "1.166667"));

    // The next take-off starts over, keeping the best streak; the mean holds the gap since 5.5.
    host.world.car()->contact = host::Contact::Air;
    EXPECT_EQ(overlayAt(10.0), overlay("0.000000", "0", "3", "4.500000"));
}

} // namespace
