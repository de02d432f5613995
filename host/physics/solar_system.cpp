#include "host/physics/solar_system.h"

#include <iterator>

#include "host/world/names.h"

#include "host/physics/physical_constants.h"

namespace simhost {

namespace {

constexpr ELEMENTS elements(double a, double e, double iDeg, double nodeDeg, double varpiDeg, double lDeg) {
    return ELEMENTS{a, e, iDeg * kDegree, nodeDeg * kDegree, varpiDeg * kDegree, lDeg * kDegree};
}

// The planets' analytic model, for builds without the library
// (library_ephemeris.h) and what a scenario file records: the standard table
// of approximate planetary positions (Standish, JPL), mean elements at J2000
// referred to the mean ecliptic and equinox of J2000, each with its rate per
// Julian century, valid 1800-2050. In the table's order: a (au), e, I, L,
// varpi, Omega (deg). Its largest errors against the reference table over
// 2000-2030 (tests/host/ephemeris_reference_test.cpp) are given per body.
constexpr BodyOrbit planet(double a, double aRate, double e, double eRate, double i, double iRate, double L,
                           double lRate, double varpi, double varpiRate, double node, double nodeRate, double gm,
                           LibraryBody library) {
    return BodyOrbit{0,
                     gm,
                     elements(a * kAu, e, i, node, varpi, L),
                     kJ2000Mjd,
                     OrbitModel::SecularElements,
                     elements(aRate * kAu, eRate, iRate, nodeRate, varpiRate, lRate),
                     library};
}

// With the libraries (errors against the reference table over 2000-2030,
// largest): Earth 2.3", Mars 6.0", Venus 7.0", Jupiter 10.5", the Moon 4.1"
// (most of each is the reference's own, its truncated series: against JPL's
// DE405, Venus is 0.05" off). Without: Earth 22.8", Mars 97.6", the Moon 10.2".
// The Moon's elements (the mean lunar orbit at J2000, a = 384400 km) are what
// a scenario file records; it moves by the library or the lunar theory.
constexpr BodySpec kBodies[] = {
    {"Sun", kGmSun, kRadiusSun, {-1, kGmSun, elements(0, 0, 0, 0, 0, 0), kJ2000Mjd}},
    // The Earth entry's orbit is that of the Earth-Moon barycentre.
    {"Earth", kGmEarth, kRadiusEarth,
     planet(1.00000261, 0.00000562, 0.01671123, -0.00004392, -0.00001531, -0.01294668, 100.46457166,
            35999.37244981, 102.93768193, 0.32327364, 0.0, 0.0, kGmEarth, LibraryBody::EarthMoonBarycentre)},
    {"Moon", kGmMoon, kRadiusMoon,
     {1, kGmMoon, elements(3.844e8, 0.0549, 5.145, 125.08, 83.23, 218.316), kJ2000Mjd, OrbitModel::LunarTheory,
      ELEMENTS{}, LibraryBody::Moon}},
    {"Mars", kGmMars, kRadiusMars,
     planet(1.52371034, 0.00001847, 0.09339410, 0.00007882, 1.84969142, -0.00813131, -4.55343205, 19140.30268499,
            -23.94362959, 0.44441088, 49.55953891, -0.29257343, kGmMars, LibraryBody::Mars)},
    // Venus and Jupiter pull harder on a vessel near Earth than Mars does.
    {"Venus", kGmVenus, kRadiusVenus,
     planet(0.72333566, 0.00000390, 0.00677672, -0.00004107, 3.39467605, -0.00078890, 181.97909950, 58517.81538729,
            131.60246718, 0.00268329, 76.67984255, -0.27769418, kGmVenus, LibraryBody::Venus)},
    {"Jupiter", kGmJupiter, kRadiusJupiter,
     planet(5.20288700, -0.00011607, 0.04838624, -0.00013253, 1.30439695, -0.00183714, 34.39644051, 3034.74612775,
            14.72847983, 0.21252668, 100.47390909, 0.20469106, kGmJupiter, LibraryBody::Jupiter)},
};

// The GMs (m^3/s^2) that earlier builds gave the built-in bodies, before they
// all came from one ephemeris's set, and so wrote in the scenarios they saved:
// such a scenario still names the built-in body, which moves by its model
// with today's GM.
struct FormerGm {
    const char* name;
    double gm;
};
constexpr FormerGm kFormerGms[] = {
    {"Sun", 1.32712440018e20}, {"Earth", 3.986004418e14},   {"Moon", 4.9048695e12},
    {"Mars", 4.282837e13},     {"Jupiter", 1.26712764e17},
};

bool isBuiltInGm(const BodySpec& body, double gm) {
    if (body.gm == gm) return true;
    for (const FormerGm& former : kFormerGms)
        if (former.gm == gm && sameName(former.name, body.name)) return true;
    return false;
}

}  // namespace

const BodySpec* builtInBodies(std::size_t& count) {
    count = std::size(kBodies);
    return kBodies;
}

const BodySpec* builtInBodyMatching(const char* name, double gm, const char* parentName, const ELEMENTS& el,
                                    double epochMjd) {
    for (const BodySpec& b : kBodies) {
        if (!sameName(b.name, name) || !isBuiltInGm(b, gm) || b.orbit.epochMjd != epochMjd) continue;
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
