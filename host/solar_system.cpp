#include "host/solar_system.h"

#include <iterator>
#include <numbers>

namespace simhost {

namespace {

constexpr double kAu = 1.495978707e11;  // m
constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kJ2000Mjd = 51544.5;  // 2000 Jan 1, 12:00 TT

constexpr double kGmSun = 1.32712440018e20;
constexpr double kGmEarth = 3.986004418e14;
constexpr double kGmMoon = 4.9048695e12;
constexpr double kGmMars = 4.282837e13;

constexpr ELEMENTS elements(double a, double e, double iDeg, double nodeDeg, double varpiDeg, double lDeg) {
    return ELEMENTS{a, e, iDeg * kDeg, nodeDeg * kDeg, varpiDeg * kDeg, lDeg * kDeg};
}

// Mean orbital elements at J2000 (MJD 51544.5) referred to the mean ecliptic and
// equinox of J2000: the planets from the standard table of approximate
// planetary positions (Standish), the Moon's mean lunar orbit (a = 384400 km).
// These are held fixed; the slow drift of the elements, notably the Moon's nodal
// and apsidal precession, is left out.
constexpr BodySpec kBodies[] = {
    {"Sun", kGmSun, 6.957e8, {-1, kGmSun, elements(0, 0, 0, 0, 0, 0), kJ2000Mjd}},
    // The Earth entry's orbit is that of the Earth-Moon barycentre.
    {"Earth", kGmEarth, 6.371e6,
     {0, kGmEarth, elements(1.00000261 * kAu, 0.01671123, 0.0, 0.0, 102.93768193, 100.46457166), kJ2000Mjd}},
    {"Moon", kGmMoon, 1.7374e6, {1, kGmMoon, elements(3.844e8, 0.0549, 5.145, 125.08, 83.23, 218.316), kJ2000Mjd}},
    {"Mars", kGmMars, 3.3895e6,
     {0, kGmMars, elements(1.52371034 * kAu, 0.09339410, 1.84969142, 49.55953891, -23.94362959, -4.55343205),
      kJ2000Mjd}},
};

}  // namespace

const BodySpec* builtInBodies(std::size_t& count) {
    count = std::size(kBodies);
    return kBodies;
}

}  // namespace simhost
