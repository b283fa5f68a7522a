#pragma once
// What a target's last input left behind, as a number equal runs give equally: the replay program
// prints it beside each input, so that a test sees state carried from one input to the next.
// Targets whose inputs leave nothing behind do not define it.

#include <cstdint>

extern "C" __attribute__((weak)) uint64_t VolankoFuzzOutcome();
