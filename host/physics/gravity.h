// Newtonian gravity of the celestial bodies, each a point mass.
#pragma once

#include <cstddef>

#include "frame/host_api.h"
#include "host/physics/ephemeris.h"

namespace simhost {

// The bodies at one moment: body i has gravitational parameter orbits[i].gm
// (m^3/s^2) and global position and velocity states[i].
struct BodySnapshot {
    const BodyOrbit* orbits;
    const StateVectors* states;
    std::size_t count;
};

// Global acceleration (m/s^2) at global position r: the sum of GM*d/|d|^3 over
// all bodies, d = body position - r. A body at r itself exerts no pull.
VECTOR3 gravityAcceleration(const VECTOR3& r, const BodySnapshot& bodies);

// Index of the body whose pull at r is strongest (largest GM/|d|^2), or -1 when
// there is none (no bodies, or r at the centre of each).
int dominantBody(const VECTOR3& r, const BodySnapshot& bodies);

}  // namespace simhost
