// Nonspherical gravity of the oblate bodies: the zonal harmonics of their
// potential, U = GM/r * (1 - sum_n Jn (R/r)^n Pn(sin(latitude))), with the
// latitude taken from the body's equator (its pole direction at the date).
#pragma once

#include <string_view>

#include "frame/host_api.h"

namespace simhost {

struct ZonalField {
    double radius;                // reference radius R of the coefficients (m)
    double j[5];                  // Jn in j[n] for n = 2..4 (0 for a term left out); j[0], j[1] unused
    VECTOR3 (*pole)(double mjd);  // unit north pole (global axes) at a date (MJD, TT)
};

// Acceleration (m/s^2, global axes) of the zonal terms alone (the point mass
// not included) at r (m, from the body's centre), for a body of gravitational
// parameter gm (m^3/s^2) whose north pole points along the unit vector pole.
OAPIFUNC VECTOR3 zonalAcceleration(const ZonalField& field, double gm, const VECTOR3& pole, const VECTOR3& r);

// The same, given 1/|r| (1/m) and GM/|r|^2 (m/s^2) as the point mass's pull
// has them. Inline: it runs at every stage of every vessel's step.
inline VECTOR3 zonalPull(const ZonalField& field, const VECTOR3& pole, const VECTOR3& r, double invR,
                         double gmOverR2) {
    const double s = dotp(r, pole) * invR, s2 = s * s;  // sine of the latitude
    const double q = field.radius * invR, q2 = q * q;   // R/r
    // Term n's gradient: GM Jn q^n / r^2 * (((n+1) Pn + s Pn') r/|r| - Pn' pole),
    // with the Legendre polynomials P2..P4 and their derivatives written out.
    const double j2 = field.j[2] * q2, j3 = field.j[3] * q2 * q, j4 = field.j[4] * q2 * q2;
    const double radial = j2 * (7.5 * s2 - 1.5) + j3 * s * (17.5 * s2 - 7.5) + j4 * ((39.375 * s2 - 26.25) * s2 + 1.875);
    const double polar = j2 * 3.0 * s + j3 * (7.5 * s2 - 1.5) + j4 * s * (17.5 * s2 - 7.5);
    return r * (gmOverR2 * radial * invR) - pole * (gmOverR2 * polar);
}

// The field of the built-in body of that name (any letter case) when gm is
// exactly its GM: Earth (J2-J4), the Moon and Mars (J2); null for any other.
OAPIFUNC const ZonalField* builtInZonalField(std::string_view name, double gm);

// Unit north pole (global axes: ecliptic and equinox of J2000) of a body
// whose pole has right ascension alpha and declination delta (rad) in the
// equator and equinox of J2000.
OAPIFUNC VECTOR3 poleFromEquatorial(double alpha, double delta);

// A field's harmonics act on a vessel within zonalReach (m) of the body's
// centre, where J2 pulls at least kZonalNegligiblePull (m/s^2): 2.3e9 m for
// Earth, 2.6e8 m for the Moon, 1.1e9 m for Mars, so that a vessel in low
// Earth orbit does not pay for the Moon's J2 (2e-13 m/s^2 there). Crossing the reach changes the
// pull by that much, which moves a vessel by millimetres a day.
constexpr double kZonalNegligiblePull = 1e-12;
double zonalReach(const ZonalField& field, double gm);

}  // namespace simhost
