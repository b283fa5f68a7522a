// The live view at three terminal sizes, compared with the frames in frames/ (their colours
// stripped, trailing blanks trimmed). VOLANKO_WRITE_FRAMES=1 rewrites those files from the view.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "arena/play/live_view.h"
#include "runtime/host.h"

namespace {

// The screen without its escapes and carriage returns, trailing blanks trimmed.
std::string textOf(const std::string& screen)
{
    std::string text;
    for (size_t i = 0; i < screen.size(); ++i) {
        if (screen[i] == '\x1b') { // up to the escape's final letter
            i = std::min(screen.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", i),
                         screen.size());
        } else if (screen[i] != '\r') {
            text.erase(screen[i] == '\n' ? text.find_last_not_of(' ') + 1 : text.size());
            text += screen[i];
        }
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text + '\n';
}

class LiveViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.driveWorld().setFreeplay(true);
        host.driveWorld().clock = 12.5;
        host.driveWorld().car()->location = {0, 2560, 300}; // half-way across, three quarters along
        host.driveWorld().car()->contact = runtime::Contact::Air;
        host.driveWorld().ball()->location = {-4000, -5000, 500}; // the top-left corner
        host.drawFrameWith([](CanvasWrapper canvas) {
            draw(canvas, {860, 1050}, "Current Time: 1.500000");
            draw(canvas, {1060, 1050}, "Best Streak: 2");
            draw(canvas, {860, 1020}, "Average Time: 12.345678");
            draw(canvas, {840, 490}, "Failed!", {255, 0, 0, 255}, 5);
        });
        tally.observe(true, 1.0, 0);
        tally.observe(true, 2.0, 2);
        tally.observe(false, 3.0, 0);
    }
    static void draw(CanvasWrapper& canvas, Vector2 at, const char* text, LinearColor color = {255, 255, 255, 255},
                     float scale = 1)
    {
        canvas.SetColor(color);
        canvas.SetPosition(at);
        canvas.DrawString(text, scale, scale);
    }
    std::string render(int columns, int rows) { return view.render(host, tally, {60, "easy", 0.5}, columns, rows); }

    runtime::Host host;
    arena::RunTally tally;
    arena::LiveView view;
};

TEST_F(LiveViewTest, FramesFitTheTerminal)
{
    for (const auto& [columns, rows] : {std::pair{40, 12}, {80, 24}, {200, 60}}) {
        const std::string name = std::to_string(columns) + "x" + std::to_string(rows) + ".txt";
        const std::string path = std::string(FRAMES_DIR) + "/" + name;
        const std::string frame = textOf(render(columns, rows));
        if (std::getenv("VOLANKO_WRITE_FRAMES")) {
            std::ofstream(path, std::ios::binary) << frame;
        }
        std::stringstream expected;
        expected << std::ifstream(path, std::ios::binary).rdbuf();
        EXPECT_EQ(frame, expected.str()) << name;
        // Every row the terminal has, each no wider than it.
        std::istringstream lines(frame);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            EXPECT_LE(line.size(), static_cast<size_t>(columns)) << name << " row " << count;
        }
        EXPECT_EQ(count, rows) << name;
    }
}

TEST_F(LiveViewTest, BannerIsBoldReversedAndRedUnlessColoursAreOff)
{
    for (const auto& [colours, banner] : {std::pair{true, "\x1b[0m\x1b[1m\x1b[7m\x1b[31m Failed! \x1b[0m"},
                                          {false, "\x1b[0m\x1b[1m\x1b[7m Failed! \x1b[0m"}}) {
        arena::LiveView view(colours);
        const std::string screen = view.render(host, tally, {60, "easy", 0.5}, 80, 24);
        EXPECT_NE(screen.find(banner), std::string::npos) << colours;
        EXPECT_EQ(screen.find("\x1b[3") != std::string::npos, colours);
    }
    host.setCanvasSize({0, 0}); // nothing to scale by: texts go to the area's corner, nothing breaks
    EXPECT_NE(render(40, 12).find("Failed!"), std::string::npos);
}

TEST_F(LiveViewTest, ATooSmallTerminalIsToldTheSizeNeededInLinesBrokenBetweenWords)
{
    const std::string needs = "The live view needs a terminal of at least 40 x 12; this one is ";
    EXPECT_EQ(textOf(render(39, 24)), "The live view needs a terminal of at\nleast 40 x 12; this one is 39 x 24.\n");
    EXPECT_EQ(textOf(render(80, 11)), needs + "80 x 11.\n");
    EXPECT_EQ(textOf(render(12, 2)), "The live\nview needs a\n"); // no more lines than rows
    EXPECT_EQ(textOf(render(1, 0)), "T\n");
    // At any width every line fits; only a word wider than the terminal ("terminal") is cut.
    for (int columns = 1; columns < 40; ++columns) {
        std::string text = needs + std::to_string(columns) + " x 100.";
        std::string joined;
        std::istringstream lines(textOf(render(columns, 100)));
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), static_cast<size_t>(columns)) << columns << ": " << line;
            joined += (joined.empty() ? "" : " ") + line;
        }
        if (columns < 8) { // where a word was cut, the line break is inside it
            std::erase(text, ' ');
            std::erase(joined, ' ');
        }
        EXPECT_EQ(joined, text) << columns;
    }
}

} // namespace
