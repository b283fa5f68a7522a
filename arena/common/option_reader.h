#pragma once
// The words of a command line, one at a time, for the arena's and the validator's command lines
// alike: options with a value ("--name value" or "--name=value"), options without one, and plain
// words.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace arena {

struct OptionWord {
    std::string name;  // the option ("--seed", also from "--seed=5"); empty for a plain word
    std::string value; // the option's value; the plain word itself
    std::string typed; // the word as typed, for messages
};

// Reads `words`, which must outlive the reader.
class OptionReader {
public:
    explicit OptionReader(std::span<const std::string> words) : words_(words) {}

    // The next word; nullopt at the end, or with `error` set when an option of `valued` is the
    // last word ("NAME needs a value"). Any other word that begins with "-" is an option without
    // a value.
    std::optional<OptionWord> next(std::span<const std::string_view> valued = {});

    std::string error; // the reader's own mistake, if any

private:
    std::span<const std::string> words_;
    size_t at_ = 0; // the next word to read
};

} // namespace arena
