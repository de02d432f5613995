// The Moon's geocentric position from the mean lunar arguments and the largest
// periodic terms of the lunar theory (Meeus, Astronomical Algorithms, ch. 47):
// the Moon's real mean motion, the precession of its node and perigee, and in
// longitude, latitude and distance the equation of the centre, evection,
// variation, annual equation and the smaller terms down to about 0.001 deg and
// 1 km. The Moon of builds without the library (library_ephemeris.h). Against
// the reference table over 2000-2030 (tests/host/ephemeris_reference_test.cpp)
// its direction is off by 10.2" at most; its distance by 21 km, of which
// some 10 km is the table's own bias (the library's fuller series has the
// same distance terms and agrees with this one to metres; its direction, with
// the latitude series complete, to 6.5").
#pragma once

#include "host/physics/kepler.h"

namespace simhost {

// Position (m) and velocity (m/s) of the Moon's centre relative to Earth's
// centre at date mjd (Modified Julian Date, TT), in the host's frame: the
// ecliptic and equinox of J2000. The theory gives them referred to the mean
// ecliptic and equinox of the date; the ecliptic's precession (Meeus ch. 21)
// turns them into J2000. The velocity is the theory's own derivative; the slow
// turning of the ecliptic of date adds at most 1e-4 m/s, which is left out.
OAPIFUNC StateVectors lunarState(double mjd);

}  // namespace simhost
