#include "arena/console/console_line.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

TEST(ConsoleLine, SplitsOnBlanksGroupsInQuotesAndStopsAtComments)
{
    const std::pair<std::string, Words> cases[] = {
        {"arena_set car location 1 2 3", {"arena_set", "car", "location", "1", "2", "3"}},
        {"  a\t\tb \r\v\f", {"a", "b"}},
        {"", {}},
        {"volanko_balllocation_x \"(-100, 100)\"", {"volanko_balllocation_x", "(-100, 100)"}},
        {"a \"\" b", {"a", "", "b"}},
        {"ab\"c d\"e", {"abc de"}},
        {"\"# not // a comment\"", {"# not // a comment"}},
        {"# whole line", {}},
        {"arena_frames 3 // three frames", {"arena_frames", "3"}},
        {"arena_hit# now", {"arena_hit"}},
        {"a/b /", {"a/b", "/"}}, // a single slash is an ordinary character
        {std::string("\x00\xff\x01 \x80", 5), {std::string("\x00\xff\x01", 3), "\x80"}},
    };
    for (const auto& [line, words] : cases) {
        std::string error;
        EXPECT_EQ(splitConsoleLine(line, error), words) << line << ": " << error;
    }
}

} // namespace
