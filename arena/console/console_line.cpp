#include "arena/console/console_line.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\n';
}

} // namespace

std::optional<std::vector<std::string>> splitConsoleLine(std::string_view line, std::string& error)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;   // a word has begun, perhaps with an empty quoted part
    bool quoted = false;   // inside double quotes
    size_t quoteStart = 0; // where the open quote is, for the message
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            inWord = true;
            quoteStart = i;
            continue;
        }
        if (c == '#' || (c == '/' && i + 1 < line.size() && line[i + 1] == '/')) {
            break;
        }
        if (isBlank(c)) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            continue;
        }
        word += c;
        inWord = true;
    }
    if (quoted) {
        error = "unterminated quote (opened at column ";
        error += std::to_string(quoteStart + 1);
        error += ')';
        return std::nullopt;
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}
