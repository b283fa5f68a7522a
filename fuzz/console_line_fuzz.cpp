// Any bytes as a console line: the splitter either refuses the line with a message or gives words
// made of the line's own bytes, and it gives the same answer twice.

#include <cstdint>
#include <string>
#include <string_view>

#include "arena/console/console_line.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto words = splitConsoleLine(line, error);
    if (!words) {
        check(!error.empty(), "a refusal that does not say why");
        return 0;
    }
    size_t bytes = 0;
    for (const std::string& word : *words) {
        bytes += word.size();
        // Quotes group words and are not part of them; blanks end words outside quotes.
        check(word.find('"') == std::string::npos, "a quote in a word");
    }
    check(bytes <= size, "words longer than the line");
    std::string again;
    check(splitConsoleLine(line, again) == words, "another answer the second time");
    return 0;
}
