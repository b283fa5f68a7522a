#pragma once
// A property a fuzz target checks: when it does not hold, the input is a finding, so the run ends
// as the fuzzer expects one to, with what failed on standard error.

#include <cstdio>
#include <cstdlib>
#include <string_view>

inline void check(bool holds, std::string_view what)
{
    if (!holds) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(what.size()), what.data());
        std::abort();
    }
}
