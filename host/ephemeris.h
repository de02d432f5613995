// Analytic positions of celestial bodies: each body follows a fixed Kepler orbit
// about its parent, so any date is evaluated directly, without integration.
#pragma once

#include <cstddef>

#include "frame/host_api.h"
#include "host/kepler.h"

namespace simhost {

// One body's orbit. parent is the index of the parent body in the same array,
// or -1 for a body fixed at the origin (the Sun); parents come before their
// children. gm is the body's own gravitational parameter (m^3/s^2). elements
// are ecliptic elements about the parent (m, rad), with elements.L the mean
// longitude at epochMjd (Modified Julian Date, days).
//
// For a body with satellites the elements describe the barycentre of the body
// and its satellites, not the body's centre.
struct BodyOrbit {
    int parent;
    double gm;
    ELEMENTS elements;
    double epochMjd;
};

// Global position (m) and velocity (m/s) of every body at date mjd, written to
// out[0..count). The relative motion of a body about its parent is a two-body
// orbit with mu = GM(parent) + GM(system of the body), where the system of a
// body is the body with all its satellites (their satellites included): that is
// the mass that actually moves on the orbit. Children are placed relative to
// their parent's own centre. A body with satellites sits at its barycentre minus
// sum_c (GM(system of c) / GM(own system)) * r_rel(c) over its direct
// satellites c, which keeps, say, Earth and Moon balanced about their common
// barycentre; velocities alike. Bodies fixed at the origin are not displaced by
// their satellites. A parent index that does not point to an earlier entry is
// treated as -1. No allocation; the cost grows with count^2, which is nothing
// for a handful of bodies.
OAPIFUNC void ephemerisStates(const BodyOrbit* bodies, std::size_t count, double mjd, StateVectors* out);

}  // namespace simhost
