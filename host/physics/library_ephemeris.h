// Planets and the Moon from two libraries: Earth from ERFA's eraEpv00 (the
// open edition of the IAU's SOFA routines; a fit to the JPL ephemeris, a few
// km over 1900-2100), turned from the ICRS equator into the host's frame, the
// mean ecliptic and equinox of J2000; Mars, Venus and Jupiter from libnova's
// full VSOP87 series (Bretagnon and Francou 1988) and the Moon from its ELP
// 2000-82B (Chapront-Touze and Chapront), both given in that frame already.
// Builds without the libraries (the Windows cross build: Debian has no MinGW
// ERFA or libnova) have none of it and keep the analytic models.
#pragma once

#include "host/physics/kepler.h"

namespace simhost {

// The body a built-in orbit takes from the library.
enum class LibraryBody : signed char {
    None,                 // the orbit's own model
    EarthMoonBarycentre,  // about the Sun's centre: Earth, plus the Moon weighted by its share of the mass
    Mars,                 // about the Sun's centre
    Venus,
    Jupiter,
    Moon,                 // about Earth's centre
};

// Whether this build has the library.
OAPIFUNC bool libraryEphemerisAvailable();

// body's position (m) and velocity (m/s) about its parent at date mjd
// (Modified Julian Date, TT; the library's TDB differs by under 2 ms). Only
// for a build with the library and a body other than None.
OAPIFUNC StateVectors libraryState(LibraryBody body, double mjd);
// The position alone, at a fifth of the cost.
OAPIFUNC VECTOR3 libraryPosition(LibraryBody body, double mjd);

}  // namespace simhost
