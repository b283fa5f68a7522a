#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_line.h"

namespace {

using Words = std::vector<std::string>;

Words split(std::string_view line)
{
    std::string error;
    const auto words = splitConsoleLine(line, error);
    EXPECT_TRUE(words.has_value()) << error;
    return words.value_or(Words{"<refused>"});
}

TEST(ConsoleLine, SplitsOnBlanksOfEveryKind)
{
    EXPECT_EQ(split("arena_set car location 1 2 3"), (Words{"arena_set", "car", "location", "1", "2", "3"}));
    EXPECT_EQ(split("  a\t\tb \r"), (Words{"a", "b"}));
    EXPECT_EQ(split(""), Words{});
    EXPECT_EQ(split("   \t "), Words{});
}

TEST(ConsoleLine, QuotesGroupAndMayBeEmptyOrInsideAWord)
{
    EXPECT_EQ(split("volanko_balllocation_x \"(-100, 100)\""), (Words{"volanko_balllocation_x", "(-100, 100)"}));
    EXPECT_EQ(split("a \"\" b"), (Words{"a", "", "b"}));
    EXPECT_EQ(split("ab\"c d\"e"), (Words{"abc de"}));
    EXPECT_EQ(split("\"# not // a comment\""), (Words{"# not // a comment"}));
}

TEST(ConsoleLine, CommentsEndTheLineOutsideQuotes)
{
    EXPECT_EQ(split("# whole line"), Words{});
    EXPECT_EQ(split("// whole line"), Words{});
    EXPECT_EQ(split("arena_frames 3 // three frames"), (Words{"arena_frames", "3"}));
    EXPECT_EQ(split("arena_hit# now"), (Words{"arena_hit"}));
    // A single slash is an ordinary character.
    EXPECT_EQ(split("a/b /"), (Words{"a/b", "/"}));
}

TEST(ConsoleLine, UnterminatedQuoteIsRefusedWithItsColumn)
{
    std::string error;
    EXPECT_FALSE(splitConsoleLine("name \"open", error).has_value());
    EXPECT_EQ(error, "unterminated quote (opened at column 6)");
    EXPECT_FALSE(splitConsoleLine("\"a\" \"", error).has_value());
    EXPECT_EQ(error, "unterminated quote (opened at column 5)");
}

TEST(ConsoleLine, AnyBytesAreWordsWithoutHarm)
{
    const std::string bytes("\x00\xff\x01 \x80", 5);
    EXPECT_EQ(split(bytes), (Words{std::string("\x00\xff\x01", 3), "\x80"}));
}

} // namespace
