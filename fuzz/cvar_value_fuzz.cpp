// Any text as a console variable's value: the parser either refuses it or gives finite ends in
// order, and what it gives prints as a text that parses back to the same value.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "runtime/cvar_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto value = runtime::parseNumericValue(text);
    if (!value) {
        return 0;
    }
    check(std::isfinite(value->low) && std::isfinite(value->high) && value->low <= value->high &&
              (value->isRange || value->low == value->high),
          "a value whose ends are not finite and in order");
    const auto again = runtime::parseNumericValue(runtime::formatNumericValue(*value));
    check(again && again->isRange == value->isRange && again->low == value->low && again->high == value->high,
          "a value that does not read back from its printed text");
    return 0;
}
