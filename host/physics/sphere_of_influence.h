// Which body a vessel is integrated about: the one whose sphere of influence
// (Laplace radius) holds it, the smallest such sphere when several do.
//
// Within a body's sphere its pull, with the others' tides, disturbs the
// motion about it less than the parent's tide disturbs the motion about the
// parent: there it is the better origin, and the parent's ephemeris (which
// the bodies' own pulls do not quite give) enters only through tides. Earth's
// reaches 924,600 km, the Moon's 66,200 km; the body pulling hardest would
// hand a vessel over to the Sun beyond 259,000 km from Earth.
#pragma once

#include <cstddef>

#include "frame/host_api.h"
#include "host/physics/ephemeris.h"

namespace simhost {

// Laplace radius (m), a (m/M)^(2/5), of a body of gravitational parameter gm
// on an orbit of semi-major axis a (m) about a parent of parameter parentGm
// (both m^3/s^2); infinite where it has no meaning (a parent without mass, an
// orbit that is not an ellipse).
OAPIFUNC double laplaceRadius(double a, double gm, double parentGm);

// The square (m^2) of each body's Laplace radius from its orbit about its
// parent (orbits[k].parent, its elements' a): infinite for a body without one.
OAPIFUNC void influenceRadii2(const BodyOrbit* orbits, std::size_t count, double* radius2);

// A vessel that leaves the sphere of the body it was integrated about keeps it
// until this far out (times the radius): one on the boundary does not change
// body at every step, and a sphere's edge is no sharp line anyway.
constexpr double kInfluenceHysteresis = 1.02;

// The body to integrate a vessel at global position r about, among bodies at
// positions states[0..count) with squared Laplace radii radius2: the one of
// smallest radius whose sphere holds r, the sphere of previous (the body the
// vessel was last integrated about; -1 for none) widened by
// kInfluenceHysteresis; among equal radii (bodies without parents), the one
// pulling hardest (gm from orbits). -1 when no sphere holds r.
OAPIFUNC int influencingBody(const VECTOR3& r, const BodyOrbit* orbits, const StateVectors* states,
                             const double* radius2, std::size_t count, int previous);

}  // namespace simhost
