#include "host/physics/library_ephemeris.h"

#include "host/physics/physical_constants.h"

#if defined(SIMHOST_HAS_ERFA) && defined(SIMHOST_HAS_LIBNOVA)
#include <erfa.h>
#include <libnova/libnova.h>

#include <cmath>
#include <mutex>
#endif

namespace simhost {

#if defined(SIMHOST_HAS_ERFA) && defined(SIMHOST_HAS_LIBNOVA)

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

// A planet from libnova's full VSOP87 series: heliocentric ecliptic longitude
// and latitude (deg) and distance (au), already on the mean ecliptic and
// equinox of J2000 (its Earth agrees with eraEpv00 turned into that frame to
// 0.06" and 6 km over 2000-2030), so not precessed; in the host's units (m).
// number: the planet's number for eraPlan94.
VECTOR3 vsop87Planet(void (*heliocentric)(double, ln_helio_posn*), int number, double mjd) {
    // libnova takes the date as one Julian Date, whose double resolves only
    // 2^-31 day (40 us) in this era, over which Mars moves a metre: that
    // would put a metre of jitter into the fitted segments. The part of the
    // date it leaves out (exact: both differences are of numbers within a
    // factor two) is made up by eraPlan94's velocity (m/s-good, so under
    // 0.1 mm over 20 us).
    const double julianDate = kModifiedJulianDateZero + mjd;
    const double leftOut = mjd - (julianDate - kModifiedJulianDateZero);  // days
    // libnova keeps each planet's last result in unguarded static storage:
    // one caller at a time, or a flight on another thread may read a
    // longitude of one date with the distance of another.
    static std::mutex libnovaCache;
    ln_helio_posn p;
    {
        const std::lock_guard<std::mutex> lock(libnovaCache);
        heliocentric(julianDate, &p);
    }
    const double longitude = p.L * kDegree, latitude = p.B * kDegree;
    const VECTOR3 atJulianDate = vec3(std::cos(latitude) * std::cos(longitude),
                                      std::cos(latitude) * std::sin(longitude), std::sin(latitude)) *
                                 (p.R * kAu);
    double pv[2][3];
    eraPlan94(kModifiedJulianDateZero, mjd, number, pv);
    return atJulianDate + toHost(pv[1]) * leftOut;  // toHost(au/day) is m/day
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
    // Mars and Jupiter by VSOP87, Venus by eraPlan94: each the one nearer
    // the reference table (tests/host/ephemeris_reference_test.cpp).
    case LibraryBody::Mars: return vsop87Planet(ln_get_mars_helio_coords, 4, mjd);
    case LibraryBody::Venus: return planet(2, mjd);
    case LibraryBody::Jupiter: return vsop87Planet(ln_get_jupiter_helio_coords, 5, mjd);
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
