#pragma once
// Joins texts with += throughout: long `a + "x" + b` chains trip a false -Wrestrict in g++ 12.

#include <string>

namespace arena {

template <class... Parts> std::string concat(const Parts&... parts)
{
    std::string text;
    ((text += parts), ...);
    return text;
}

} // namespace arena
