// A 3-vector in the lanes of one vector register (x, y, z and a zero), for the
// per-step sums over bodies: each lane does what the VECTOR3 operators do to
// its component, so the results are the same bits, in fewer instructions.
#pragma once

#include "frame/host_api.h"

namespace simhost {

using Lanes = double __attribute__((vector_size(32)));

inline Lanes lanesOf(const VECTOR3& v) { return Lanes{v.x, v.y, v.z, 0.0}; }
inline VECTOR3 vectorOf(const Lanes& v) { return vec3(v[0], v[1], v[2]); }
// dotp's sum, in dotp's order: (x*x + y*y) + z*z.
inline double squaredLength(const Lanes& v) {
    const Lanes squares = v * v;
    return squares[0] + squares[1] + squares[2];
}

}  // namespace simhost
