#include "host/physics/solar_system.h"

#include <iterator>

#include "host/world/names.h"

#include "host/physics/physical_constants.h"

namespace simhost {

namespace {

constexpr ELEMENTS elements(double a, double e, double iDeg, double nodeDeg, double varpiDeg, double lDeg) {
    return ELEMENTS{a, e, iDeg * kDegree, nodeDeg * kDegree, varpiDeg * kDegree, lDeg * kDegree};
}

// The planets: the standard table of approximate planetary positions
// (Standish, JPL), mean elements at J2000 referred to the mean ecliptic and
// equinox of J2000, each with its rate per Julian century; valid 1800-2050,
// where Earth's position is good to about 20 arcseconds and Mars' to 40. In
// the table's order: a (au), e, I, L, varpi, Omega (deg).
constexpr BodyOrbit planet(double a, double aRate, double e, double eRate, double i, double iRate, double L,
                           double lRate, double varpi, double varpiRate, double node, double nodeRate, double gm) {
    return BodyOrbit{0,
                     gm,
                     elements(a * kAu, e, i, node, varpi, L),
                     kJ2000Mjd,
                     OrbitModel::SecularElements,
                     elements(aRate * kAu, eRate, iRate, nodeRate, varpiRate, lRate)};
}

// The Moon moves by the lunar theory; its elements (the mean lunar orbit at
// J2000, a = 384400 km) are what a scenario file records.
constexpr BodySpec kBodies[] = {
    {"Sun", kGmSun, kRadiusSun, {-1, kGmSun, elements(0, 0, 0, 0, 0, 0), kJ2000Mjd}},
    // The Earth entry's orbit is that of the Earth-Moon barycentre.
    {"Earth", kGmEarth, kRadiusEarth,
     planet(1.00000261, 0.00000562, 0.01671123, -0.00004392, -0.00001531, -0.01294668, 100.46457166,
            35999.37244981, 102.93768193, 0.32327364, 0.0, 0.0, kGmEarth)},
    {"Moon", kGmMoon, kRadiusMoon,
     {1, kGmMoon, elements(3.844e8, 0.0549, 5.145, 125.08, 83.23, 218.316), kJ2000Mjd, OrbitModel::LunarTheory}},
    {"Mars", kGmMars, kRadiusMars,
     planet(1.52371034, 0.00001847, 0.09339410, 0.00007882, 1.84969142, -0.00813131, -4.55343205, 19140.30268499,
            -23.94362959, 0.44441088, 49.55953891, -0.29257343, kGmMars)},
};

}  // namespace

const BodySpec* builtInBodies(std::size_t& count) {
    count = std::size(kBodies);
    return kBodies;
}

const BodySpec* builtInBodyMatching(const char* name, double gm, const char* parentName, const ELEMENTS& el,
                                    double epochMjd) {
    for (const BodySpec& b : kBodies) {
        if (!sameName(b.name, name) || b.gm != gm || b.orbit.epochMjd != epochMjd) continue;
        const bool root = b.orbit.parent < 0;
        if (root != (parentName == nullptr)) return nullptr;
        if (!root && !sameName(kBodies[b.orbit.parent].name, parentName)) return nullptr;
        const ELEMENTS& own = b.orbit.elements;
        const bool same = root || (own.a == el.a && own.e == el.e && own.i == el.i && own.theta == el.theta &&
                                   own.omegab == el.omegab && own.L == el.L);
        return same ? &b : nullptr;
    }
    return nullptr;
}

}  // namespace simhost
