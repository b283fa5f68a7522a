// Runs a fuzz target's inputs without the fuzzer: each file named on the command line, in order,
// in this one process. Prints "file outcome" for each; a failing input ends the process as it
// would under the fuzzer.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_outcome.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
        const std::vector<uint8_t> input{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(input.data(), input.size());
        std::printf("%s %016llx\n", argv[i],
                    static_cast<unsigned long long>(VolankoFuzzOutcome ? VolankoFuzzOutcome() : 0));
    }
    return 0;
}
