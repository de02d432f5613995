// Two-body orbits: Kepler's equation, elements to state vectors and back.
//
// Frame: the host's inertial ecliptic frame (x-y plane = ecliptic, z = ecliptic
// north, longitudes counted from +x, counter-clockwise seen from +z). Units: m,
// m/s, s, rad. mu is the gravitational parameter that drives the relative motion
// (m^3/s^2). For a vessel about a body the host passes the body's GM alone: the
// vessel's mass is neglected. For one body about another the ephemeris passes the
// sum of both GMs.
//
// Orientation: the orbital plane is reached from the ecliptic by the rotations
// Rz(Omega) * Rx(i) * Rz(omega), with Omega = ELEMENTS::theta and the argument of
// periapsis omega = ELEMENTS::omegab - ELEMENTS::theta. On a retrograde orbit the
// longitude of periapsis omegab = Omega + omega is therefore the usual "broken"
// sum of two angles in different planes, not an ecliptic longitude.
//
// None of these functions allocates; they run on every simulation step.
#pragma once

#include "frame/host_api.h"

namespace simhost {

// Position (m) and velocity (m/s), both in the ecliptic frame.
struct StateVectors {
    VECTOR3 pos;
    VECTOR3 vel;
};

// Solves Kepler's equation M = E - e*sin(E) for the eccentric anomaly E (rad),
// 0 <= e < 1. Any finite M is accepted; the result keeps M's whole turns, so
// E - e*sin(E) reproduces M to within a few ulps of max(1, |M|). NaN for an
// eccentricity outside [0, 1) or a non-finite M.
OAPIFUNC double eccentricAnomaly(double meanAnomaly, double e);

// Solves the hyperbolic form M = e*sinh(H) - H for H, e > 1. NaN for e <= 1 or a
// non-finite M.
OAPIFUNC double hyperbolicAnomaly(double meanAnomaly, double e);

// Position and velocity relative to the central body, dt seconds after the
// reference date at which el.L is the mean longitude. Closed orbits need
// 0 <= e < 1 and a > 0; open orbits e > 1 and a < 0, with el.L = omegab + M for
// the signed hyperbolic mean anomaly M (not reduced to a turn). A parabola
// (e == 1, a infinite) has no finite ELEMENTS form and, like any other
// inconsistent set or mu <= 0, yields NaN vectors.
OAPIFUNC StateVectors stateFromElements(const ELEMENTS& el, double mu, double dt);

// Osculating elements (and, if prm is not null, the derived parameters) of the
// orbit through position r and velocity v relative to the central body; el.L is
// the mean longitude at this moment. Returns false and leaves el and *prm
// untouched when r or v is zero-length or not finite, when mu is not a positive
// finite number, or when the motion is purely radial (|r x v| below 1e-12 of
// |r|*|v|), which spans no orbital plane.
//
// Conventions:
//  - Equatorial orbits (i < 1e-10 or i > pi - 1e-10) have theta = 0: the node is
//    put on the +x reference direction.
//  - Near-circular orbits (e < 1e-10) get e = 0 exactly and the periapsis at the
//    ascending node (so at +x when also equatorial); all anomalies count from there.
//  - theta and omegab lie in [0, 2*pi).
//  - Closed orbits (e < 1): a = -mu/(2*energy) > 0, T = 2*pi*sqrt(a^3/mu).
//    MnA, TrA, EcA, MnL, TrL and el.L lie in [0, 2*pi). PeT is the time to the
//    next periapsis passage, (2*pi - M)/n, in [0, T) and exactly 0 when M == 0;
//    ApT likewise for the next apoapsis (M == pi). SMi = a*sqrt(1 - e^2),
//    PeD = a*(1 - e), ApD = a*(1 + e), Lec = a*e.
//  - Hyperbolic orbits (e > 1): a = -mu/(2*energy) < 0. MnA is the signed
//    hyperbolic mean anomaly M = e*sinh(H) - H, EcA = H, TrA is the signed true
//    anomaly in (-pi, pi], all negative before periapsis. el.L = MnL = omegab + M,
//    not reduced; TrL is reduced to [0, 2*pi). PeT = -M/n with n =
//    sqrt(mu/|a|^3): positive while approaching, negative once periapsis is
//    passed. T = ApD = +infinity, ApT = NaN, SMi = |a|*sqrt(e^2 - 1),
//    PeD = |a|*(e - 1), Lec = |a|*e.
//  - A parabola (e exactly 1) uses Barker's equation: a = -infinity, with the
//    semi-latus rectum p = h^2/mu, D = tan(TrA/2) is stored as EcA and
//    MnA = (D + D^3/3)/2, so PeT = -MnA*sqrt(p^3/mu). SMi = Lec = +infinity,
//    PeD = p/2, T = ApD = +infinity, ApT = NaN.
//  Near e = 1 the anomalies are evaluated without cancellation, so PeT passes
//  smoothly from the ellipse through the parabola to the hyperbola.
OAPIFUNC bool elementsFromState(const VECTOR3& r, const VECTOR3& v, double mu, ELEMENTS& el, ORBITPARAM* prm);

}  // namespace simhost
