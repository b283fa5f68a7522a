// One practice run from take-off to landing, frame by frame, as the player sees it.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "volanko_fixture.h"

namespace {

struct Step {
    double clock;           // game seconds
    std::string_view event; // before the frame: "air" or "ground" for the car's contact, "hit" for a hit
    const char* shown;      // the overlay's values: time, streak, best, mean, and the banner when drawn
};

constexpr Step kRun[] = {
    {1, "", "1.000000 0 0 0.000000"},    // waiting: the clock runs from 0
    {2, "air", "0.000000 0 0 0.000000"}, // take-off: a run begins with a reset in this very frame
    {2.5, "", "0.500000 0 0 0.000000"},
    {3, "hit", "0.000000 1 1 1.000000"},
    {5, "hit", "0.000000 2 2 1.500000"},
    {5.5, "hit", "0.000000 3 3 1.166667"},
    {7, "ground", "1.500000 3 3 1.166667 Failed!"}, // the banner for two seconds, the streak on show
    {8.75, "", "3.250000 3 3 1.166667 Failed!"},
    {9, "", "3.500000 3 3 1.166667"},
    {10, "air", "0.000000 0 3 4.500000"}, // starts over, keeping the best; the mean holds the gap since 5.5
};

using WholeRun = VolankoTest;

TEST_F(WholeRun, TakeOffThreeHitsLandingAndTheBanner)
{
    setLocation("1000", "2000", "500");
    ASSERT_TRUE(host.console.set("volanko_throwlevel", "easy"));
    startDrill();
    for (const Step& step : kRun) {
        host.world.ball()->velocity = {900, 0, 900};
        if (step.event == "hit") {
            hitAt(step.clock);
        } else if (!step.event.empty()) {
            host.world.car()->contact = step.event == "air" ? host::Contact::Air : host::Contact::Ground;
        }
        frameAt(step.clock);
        std::string shown;
        for (const std::string& text : texts()) { // the values, without their labels
            const size_t colon = text.find(": ");
            shown += (shown.empty() ? "" : " ") + (colon == std::string::npos ? text : text.substr(colon + 2));
        }
        EXPECT_EQ(shown, step.shown) << "at " << step.clock;
        const host::Actor& ball = *host.world.ball();
        EXPECT_EQ(ball.location.z, step.clock <= 2 ? 100 : 500) << "held at the lowest height, then at the target";
        EXPECT_EQ(ball.location.x + ball.velocity.x + ball.velocity.z, step.clock <= 2 ? 0 : 1000);
    }
}

} // namespace
