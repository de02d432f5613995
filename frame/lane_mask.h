// Whether every lane of a four-lane comparison is true: the test that sends
// the vector arc tangents and sines to their one-at-a-time forms. With AVX a
// single movemask; without it, lane by lane.
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#if defined(__AVX__)
#include <immintrin.h>
#endif

using LaneMask = long long __attribute__((vector_size(32)));

inline bool allLanesSet(LaneMask mask) {
#if defined(__AVX__)
    return _mm256_movemask_pd((__m256d)mask) == 0xF;
#else
    return mask[0] && mask[1] && mask[2] && mask[3];
#endif
}
#endif
