#pragma once
// Splits one console line into words, as the console and scripts read it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Words are split on blanks (space, tab, carriage return, vertical tab, form feed); double quotes
// group blanks into a word and may sit inside a word ("a"b is ab; "" is an empty word); outside
// quotes `//` and `#` end the line. An empty or comment-only line gives an empty vector. An
// unterminated quote gives nullopt with `error` set to a message. Any bytes are accepted.
std::optional<std::vector<std::string>> splitConsoleLine(std::string_view line, std::string& error);
