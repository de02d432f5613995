#include "host/physics/library_ephemeris.h"

#include "host/physics/physical_constants.h"

#ifdef SIMHOST_HAS_ERFA
#include <erfa.h>
#endif

namespace simhost {

#ifdef SIMHOST_HAS_ERFA

namespace {

constexpr double kJ2000JulianDate = 2451545.0;
constexpr double kModifiedJulianDateZero = 2400000.5;  // JD of MJD 0

// The ICRS equator to the mean ecliptic and equinox of J2000 (IAU 2006
// obliquity, frame bias included), worked out once.
struct ToEcliptic {
    double m[3][3];
    ToEcliptic() { eraEcm06(kJ2000JulianDate, 0.0, m); }
};

// A library position (au, equatorial) in the host's units and frame (m).
VECTOR3 toHost(const double* p) {
    static const ToEcliptic rotation;
    const auto& m = rotation.m;
    return vec3(m[0][0] * p[0] + m[0][1] * p[1] + m[0][2] * p[2], m[1][0] * p[0] + m[1][1] * p[1] + m[1][2] * p[2],
                m[2][0] * p[0] + m[2][1] * p[1] + m[2][2] * p[2]) *
           kAu;
}

VECTOR3 moon(double mjd) {
    double pv[2][3];
    eraMoon98(kModifiedJulianDateZero, mjd, pv);
    return toHost(pv[0]);
}

VECTOR3 planet(int number, double mjd) {
    double pv[2][3];
    eraPlan94(kModifiedJulianDateZero, mjd, number, pv);  // its status only warns of dates outside 1000-3000
    return toHost(pv[0]);
}

}  // namespace

bool libraryEphemerisAvailable() { return true; }

VECTOR3 libraryPosition(LibraryBody body, double mjd) {
    switch (body) {
    case LibraryBody::EarthMoonBarycentre: {
        // Earth's own place, which the host rebuilds by taking the Moon's
        // share off the barycentre: the barycentre is Earth plus that share.
        double heliocentric[2][3], barycentric[2][3];
        eraEpv00(kModifiedJulianDateZero, mjd, heliocentric, barycentric);
        constexpr double kMoonShare = kGmMoon / (kGmEarth + kGmMoon);
        return toHost(heliocentric[0]) + moon(mjd) * kMoonShare;
    }
    case LibraryBody::Mars: return planet(4, mjd);
    case LibraryBody::Venus: return planet(2, mjd);
    case LibraryBody::Jupiter: return planet(5, mjd);
    case LibraryBody::Moon: return moon(mjd);
    case LibraryBody::None: break;
    }
    return vec3(0, 0, 0);
}

StateVectors libraryState(LibraryBody body, double mjd) {
    // The velocity is the positions' rate, by the five-point central
    // difference over +-1 h (truncation under 1e-9 m/s for the Moon, rounding
    // under 1e-7 m/s): the library's own velocities leave out terms (Mars's
    // by metres per second, the Moon's by millimetres per second) and so are
    // not the motion its positions make.
    constexpr double kStep = 1.0 / 24;  // days
    auto at = [&](double k) { return libraryPosition(body, mjd + k * kStep); };
    const VECTOR3 rate = ((at(1) - at(-1)) * 8.0 - (at(2) - at(-2))) * (1.0 / (12.0 * kStep * kSecondsPerDay));
    return StateVectors{libraryPosition(body, mjd), rate};
}

#else

bool libraryEphemerisAvailable() { return false; }
VECTOR3 libraryPosition(LibraryBody, double) { return vec3(0, 0, 0); }
StateVectors libraryState(LibraryBody, double) { return StateVectors{}; }

#endif

}  // namespace simhost
