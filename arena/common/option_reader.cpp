#include "arena/common/option_reader.h"

#include "arena/common/concat.h"

namespace arena {

std::optional<OptionWord> OptionReader::next(std::span<const std::string_view> valued)
{
    if (at_ >= words_.size()) {
        return std::nullopt;
    }
    const std::string& word = words_[at_++];
    if (!word.starts_with('-')) {
        return OptionWord{"", word, word};
    }
    for (const std::string_view name : valued) {
        if (word == name) {
            if (at_ >= words_.size()) {
                error = concat(name, " needs a value");
                return std::nullopt;
            }
            return OptionWord{word, words_[at_++], word};
        }
        if (word.size() > name.size() && word.starts_with(name) && word[name.size()] == '=') {
            return OptionWord{std::string(name), word.substr(name.size() + 1), word};
        }
    }
    return OptionWord{word, "", word};
}

} // namespace arena
