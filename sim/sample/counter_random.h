// Random numbers that are a pure function of (seed, case, draw): the draws of
// a case are the same however the cases are split among processes or
// machines, and in whatever order they are flown. No state, no std::
// distribution (whose output differs between standard libraries).
#pragma once

#include <cstdint>

namespace zolksim {

// 64 well-mixed bits for the counter (seed, caseIndex, slot): SplitMix64's
// finaliser applied to each word in turn.
std::uint64_t counterBits(std::uint64_t seed, std::uint64_t caseIndex, std::uint64_t slot);

// A uniform number strictly inside (0, 1), on a grid of 2^-53.
double counterUniform(std::uint64_t seed, std::uint64_t caseIndex, std::uint64_t slot);

}  // namespace zolksim
