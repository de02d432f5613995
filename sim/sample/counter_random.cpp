#include "sim/sample/counter_random.h"

namespace zolksim {

namespace {

// SplitMix64's step and finaliser (Steele, Lea and Flood 2014): a bijection
// of 64-bit words whose every output bit depends on every input bit.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

}  // namespace

std::uint64_t counterBits(std::uint64_t seed, std::uint64_t caseIndex, std::uint64_t slot) {
    return mix(mix(mix(seed) ^ caseIndex) ^ slot);
}

double counterUniform(std::uint64_t seed, std::uint64_t caseIndex, std::uint64_t slot) {
    // The top 53 bits, centred in their cell: never 0 or 1.
    return (static_cast<double>(counterBits(seed, caseIndex, slot) >> 11) + 0.5) * 0x1p-53;
}

}  // namespace zolksim
