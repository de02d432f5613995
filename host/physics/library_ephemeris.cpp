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

VECTOR3 planet(int number, double mjd) {
    double pv[2][3];
    eraPlan94(kModifiedJulianDateZero, mjd, number, pv);  // its status only warns of dates outside 1000-3000
    return toHost(pv[0]);
}

// libnova's series serve within this many days of J2000 (1000 years); beyond,
// ERFA's bodies do, which stay finite where libnova's lunar series gives NaN
// and its VSOP87 negative distances (100000 years on).
constexpr double kLibnovaSpanDays = 365250.0;

bool withinLibnovaSpan(double mjd) { return std::fabs(mjd - kJ2000Mjd) <= kLibnovaSpanDays; }

VECTOR3 erfaMoon(double mjd) {
    double pv[2][3];
    eraMoon98(kModifiedJulianDateZero, mjd, pv);
    return toHost(pv[0]);
}

// libnova takes a date as one Julian Date, whose double resolves only
// 2^-31 day (40 us) in this era, over which Mars moves a metre: that would put
// a metre of jitter into the fitted segments. So each body's place at that
// Julian Date is moved on over the part of the date it leaves out (days;
// exact to far below a nanosecond, as both differences are of numbers within
// a factor two) by ERFA's velocity for the body, good to metres per second
// and so to under 0.1 mm.
struct LibnovaDate {
    double julianDate;
    double leftOut;  // days
};

LibnovaDate libnovaDate(double mjd) {
    const double julianDate = kModifiedJulianDateZero + mjd;
    return LibnovaDate{julianDate, mjd - (julianDate - kModifiedJulianDateZero)};
}

// libnova keeps each body's last result in unguarded static storage: one
// caller at a time, or a flight on another thread may read a longitude of
// one date with the distance of another.
std::mutex libnovaCalls;

// The Moon about Earth's centre from libnova's ELP 2000-82B, its terms down
// to this share of the largest (against JPL's DE405 over 2000-2030: 0.4" and
// 0.14 km, at a thirteenth of the cost of the whole series), given on the
// mean ecliptic and equinox of J2000 already (km).
constexpr double kLunarSeriesPrecision = 1e-8;

VECTOR3 moon(double mjd) {
    if (!withinLibnovaSpan(mjd)) return erfaMoon(mjd);
    const LibnovaDate date = libnovaDate(mjd);
    ln_rect_posn p;
    {
        const std::lock_guard<std::mutex> lock(libnovaCalls);
        ln_get_lunar_geo_posn(date.julianDate, &p, kLunarSeriesPrecision);
    }
    double pv[2][3];
    eraMoon98(kModifiedJulianDateZero, mjd, pv);
    return vec3(p.X, p.Y, p.Z) * 1e3 + toHost(pv[1]) * date.leftOut;  // toHost(au/day) is m/day
}

// A planet about the Sun's centre from libnova's full VSOP87 series:
// heliocentric ecliptic longitude and latitude (deg) and distance (au),
// already on the mean ecliptic and equinox of J2000, so not precessed.
// number: the planet's number for eraPlan94.
VECTOR3 vsop87Planet(void (*heliocentric)(double, ln_helio_posn*), int number, double mjd) {
    if (!withinLibnovaSpan(mjd)) return planet(number, mjd);
    const LibnovaDate date = libnovaDate(mjd);
    ln_helio_posn p;
    {
        const std::lock_guard<std::mutex> lock(libnovaCalls);
        heliocentric(date.julianDate, &p);
    }
    const double longitude = p.L * kDegree, latitude = p.B * kDegree;
    const VECTOR3 atJulianDate = vec3(std::cos(latitude) * std::cos(longitude),
                                      std::cos(latitude) * std::sin(longitude), std::sin(latitude)) *
                                 (p.R * kAu);
    double pv[2][3];
    eraPlan94(kModifiedJulianDateZero, mjd, number, pv);  // its status only warns of dates outside 1000-3000
    return atJulianDate + toHost(pv[1]) * date.leftOut;  // toHost(au/day) is m/day
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
    case LibraryBody::Mars: return vsop87Planet(ln_get_mars_helio_coords, 4, mjd);
    case LibraryBody::Venus: return vsop87Planet(ln_get_venus_helio_coords, 2, mjd);
    case LibraryBody::Jupiter: return vsop87Planet(ln_get_jupiter_helio_coords, 5, mjd);
    case LibraryBody::Moon: return moon(mjd);
    case LibraryBody::None: break;
    }
    return vec3(0, 0, 0);
}

StateVectors libraryState(LibraryBody body, double mjd) {
    // The velocity is the positions' rate, by the five-point central
    // difference over +-1 h (truncation under 1e-9 m/s for the Moon, rounding
    // under 1e-7 m/s): ERFA's velocities leave out terms (Mars's by metres
    // per second, the Moon's by millimetres per second), libnova gives none.
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
