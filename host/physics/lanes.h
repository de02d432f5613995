// A 3-vector in the lanes of one vector register (x, y, z and a zero), for the
// per-step sums over bodies: each lane does what the VECTOR3 operators do to
// its component, so the results are the same bits, in fewer instructions.
#pragma once

#include "frame/host_api.h"

namespace simhost {

using Lanes = double __attribute__((vector_size(32)));

// The same as kept in memory (in vectors, in windows), aligned as a double
// is: Lanes itself asks for 32 bytes, which 32-bit Windows' allocator does
// not give, and an SSE operand from such memory faults there. The compiler
// reads and writes these without assuming more.
using StoredLanes = double __attribute__((vector_size(32), aligned(8)));
// The same in a struct, for containers (a template argument drops the
// alignment attribute).
struct PackedLanes {
    StoredLanes lanes;
};
// GCC lowers the alignment as asked (its 32-bit Windows builds need it);
// clang keeps the vector's own on such a typedef, in builds for Linux only,
// whose allocator gives it.
#if !defined(__clang__)
static_assert(alignof(PackedLanes) == alignof(double), "kept lanes must not ask for more than a double's alignment");
#endif

inline Lanes lanesOf(const VECTOR3& v) { return Lanes{v.x, v.y, v.z, 0.0}; }
inline VECTOR3 vectorOf(const Lanes& v) { return vec3(v[0], v[1], v[2]); }
// dotp's sum, in dotp's order: (x*x + y*y) + z*z.
inline double squaredLength(const Lanes& v) {
    const Lanes squares = v * v;
    return squares[0] + squares[1] + squares[2];
}

}  // namespace simhost
