#include <gtest/gtest.h>

#include <string>

#include "host.h"
#include "live_view.h"

namespace {

// The screen without its escapes and carriage returns, one string per row.
std::vector<std::string> rowsOf(const std::string& screen)
{
    std::vector<std::string> rows(1);
    for (size_t i = 0; i < screen.size(); ++i) {
        if (screen[i] == '\x1b') {
            while (i < screen.size() && !std::isalpha(static_cast<unsigned char>(screen[i]))) {
                ++i;
            }
        } else if (screen[i] == '\n') {
            rows.emplace_back();
        } else if (screen[i] != '\r') {
            rows.back() += screen[i];
        }
    }
    return rows;
}

class LiveViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.world.setFreeplay(true);
        host.canvas.beginFrame();
        draw({860, 1050}, "Current Time: 1.500000");
        draw({1060, 1050}, "Best Streak: 2");
        draw({860, 1020}, "Average Time: 12.345678");
    }
    void draw(Vector2 at, const char* text, LinearColor color = {255, 255, 255, 255}, float scale = 1)
    {
        host.canvas.setColor(color);
        host.canvas.setPosition(at);
        host.canvas.drawString(text, scale, scale);
    }
    host::Host host;
    arena::RunTally tally;
    arena::LiveView view;
};

TEST_F(LiveViewTest, ColumnsKeepApartOnANarrowTerminal)
{
    const auto rows = rowsOf(view.render(host, tally, {60, "easy", 0.5}, 80, 23));
    ASSERT_EQ(rows.size(), 23u);
    // 860 of 1920 is column 35; the next column starts past the widest text of the first.
    EXPECT_EQ(rows[22].substr(35), "Current Time: 1.500000   Best Streak: 2" + std::string(6, ' '));
    EXPECT_EQ(rows[21].substr(35, 23), "Average Time: 12.345678");
    EXPECT_TRUE(rows[0].starts_with("arena play   0.0 / 60 s   level easy   skill 0.50   runs 0")) << rows[0];
}

TEST_F(LiveViewTest, BannerIsRedBoldReversedWhereDrawnAndTheMapMarksCarAndBall)
{
    draw({840, 490}, "Failed!", {255, 0, 0, 255}, 5);
    host.world.car()->location = {4000, 5000, 17}; // bottom right corner, on the ground
    host.world.ball()->location = {-4000, -5000, 500};
    const std::string screen = view.render(host, tally, {60, "easy", 0.5}, 80, 24);
    EXPECT_NE(screen.find("\x1b[0m\x1b[1m\x1b[7m\x1b[31m Failed! \x1b[0m"), std::string::npos);
    const auto rows = rowsOf(screen);
    EXPECT_EQ(rows[10].substr(35, 9), " Failed! ");
    EXPECT_EQ(rows[3].substr(0, 3), "|O ");
    EXPECT_EQ(rows[11].substr(24, 3), " c|");
}

TEST_F(LiveViewTest, NothingBreaksOnATinyTerminalOrAnEmptyCanvas)
{
    host.canvas.size = {0, 0};
    const auto rows = rowsOf(view.render(host, tally, {1, "", 0}, 3, 2));
    EXPECT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].size(), 20u);
}

} // namespace
