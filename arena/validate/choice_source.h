#pragma once
// Where the attacks get their decisions: a seeded generator for the validator's rounds, or the
// fuzzer's bytes. The same decisions give the same attacks.

#include <cstddef>
#include <cstdint>
#include <random>

namespace arena::validate {

class ChoiceSource {
public:
    virtual ~ChoiceSource() = default;
    virtual uint32_t below(uint32_t bound) = 0; // in [0, bound); 0 when bound is 0
    virtual bool exhausted() const { return false; }

    bool chance(uint32_t percent) { return below(100) < percent; }
    double unit() { return below(1u << 24) / static_cast<double>(1u << 24); } // in [0, 1)
};

// A round's decisions, all drawn from its seed.
class SeededChoices : public ChoiceSource {
public:
    explicit SeededChoices(uint64_t seed) : random_(seed) {}
    uint32_t below(uint32_t bound) override { return bound == 0 ? 0 : static_cast<uint32_t>(random_() % bound); }

private:
    std::mt19937_64 random_;
};

// The fuzzer's input read as decisions: one byte for a small choice, four for a large one;
// zeros once the input is used up. The bytes are borrowed for the source's lifetime.
class ByteChoices : public ChoiceSource {
public:
    ByteChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t below(uint32_t bound) override
    {
        if (bound == 0) {
            return 0;
        }
        uint32_t value = 0;
        const size_t width = bound <= 256 ? 1 : 4;
        for (size_t i = 0; i < width; ++i) {
            value = (value << 8) | (used_ < size_ ? data_[used_] : 0u);
            ++used_;
        }
        return value % bound;
    }
    bool exhausted() const override { return used_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t used_ = 0;
};

// Spreads a base seed and a round number into the round's own seed.
inline uint64_t roundSeed(uint64_t base, uint64_t round)
{
    uint64_t z = base + 0x9e3779b97f4a7c15ULL * (round + 1);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

} // namespace arena::validate
