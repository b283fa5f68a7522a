// Any text as a console variable's value: the parser either refuses it or gives finite ends in
// order, and what it gives prints as a text that parses back to the same value.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cvar_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto value = host::parseNumericValue(text);
    if (!value) {
        return 0;
    }
    if (!std::isfinite(value->low) || !std::isfinite(value->high) || value->low > value->high ||
        (!value->isRange && value->low != value->high)) {
        std::abort();
    }
    const auto again = host::parseNumericValue(host::formatNumericValue(*value));
    if (!again || again->isRange != value->isRange || again->low != value->low || again->high != value->high) {
        std::abort();
    }
    return 0;
}
