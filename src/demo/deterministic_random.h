// A small pseudo-random sequence that gives the same numbers on every
// platform and compiler (SplitMix64), so a generated company is the same file
// content from one run to the next. The standard distributions are not used:
// their results may differ between library implementations.
#pragma once

#include <cstdint>

namespace orva::demo {

class DeterministicRandom {
  public:
    explicit DeterministicRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // 0 .. n-1 (n > 0).
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    // lo .. hi inclusive.
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    // True with a chance of percent out of 100.
    bool Chance(int percent) { return Below(100) < percent; }

  private:
    std::uint64_t state_;
};

}  // namespace orva::demo
