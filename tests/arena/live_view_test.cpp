#include <gtest/gtest.h>

#include <string>

#include "host.h"
#include "live_view.h"

namespace {

// The screen without its escapes, one string per row.
std::vector<std::string> rowsOf(const std::string& screen)
{
    std::string plain;
    for (size_t i = 0; i < screen.size(); ++i) {
        if (screen[i] == '\x1b') {
            while (i < screen.size() && !std::isalpha(static_cast<unsigned char>(screen[i]))) {
                ++i;
            }
            continue;
        }
        if (screen[i] != '\r') {
            plain += screen[i];
        }
    }
    std::vector<std::string> rows;
    size_t start = 0;
    for (size_t end; (end = plain.find('\n', start)) != std::string::npos; start = end + 1) {
        rows.push_back(plain.substr(start, end - start));
    }
    rows.push_back(plain.substr(start));
    return rows;
}

class LiveViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.world.setFreeplay(true);
        host.canvas.beginFrame();
        host.canvas.setColor({255, 255, 255, 255});
        host.canvas.setPosition({860, 1050});
        host.canvas.drawString("Current Time: 1.500000", 1, 1);
        host.canvas.setPosition({1060, 1050});
        host.canvas.drawString("Best Streak: 2", 1, 1);
        host.canvas.setPosition({860, 1020});
        host.canvas.drawString("Average Time: 12.345678", 1, 1);
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

TEST_F(LiveViewTest, BannerIsRedBoldAndReversedWhereItWasDrawn)
{
    host.canvas.setColor({255, 0, 0, 255});
    host.canvas.setPosition({840, 490});
    host.canvas.drawString("Failed!", 5, 5);
    const std::string screen = view.render(host, tally, {60, "easy", 0.5}, 80, 24);
    EXPECT_NE(screen.find("\x1b[0m\x1b[1m\x1b[7m\x1b[31m Failed! \x1b[0m"), std::string::npos);
    const auto rows = rowsOf(screen);
    EXPECT_EQ(rows[10].substr(35, 9), " Failed! ");
}

TEST_F(LiveViewTest, MapMarksCarAndBallByWhereTheyAre)
{
    host.world.car()->location = {4000, 5000, 17}; // bottom right corner, on the ground
    host.world.ball()->location = {-4000, -5000, 500};
    const auto rows = rowsOf(view.render(host, tally, {60, "easy", 0.5}, 80, 24));
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
