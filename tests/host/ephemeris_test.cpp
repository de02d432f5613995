// Ephemeris checks: the built-in bodies against known ranges and periods, and
// the barycentre bookkeeping of nested systems.
#include "host/ephemeris.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "host/solar_system.h"

namespace {

using simhost::BodyOrbit;
using simhost::StateVectors;
using simhost::stateFromElements;

constexpr double kJ2000 = 51544.5, kDay = 86400.0;
enum { kSun, kEarth, kMoon, kMars };  // the built-in order

double relVec(const VECTOR3& got, const VECTOR3& want) { return length(got - want) / length(want); }

struct SolarSystem {
    std::size_t count = 0, n = 0;  // the built-in count, and how many are used here
    const simhost::BodySpec* body = nullptr;
    BodyOrbit orbits[4]{};
    StateVectors s[4]{};
    SolarSystem() {
        body = simhost::builtInBodies(count);
        n = std::min<std::size_t>(count, 4);
        for (std::size_t i = 0; i < n; ++i) orbits[i] = body[i].orbit;
    }
    void at(double mjd) { simhost::ephemerisStates(orbits, n, mjd, s); }
    double gm(int i) const { return body[i].gm; }
    // GM-weighted mean of Earth and Moon, of positions or (with &StateVectors::vel) velocities.
    VECTOR3 earthMoonBarycentre(VECTOR3 StateVectors::*of = &StateVectors::pos) const {
        return (s[kEarth].*of * gm(kEarth) + s[kMoon].*of * gm(kMoon)) * (1 / (gm(kEarth) + gm(kMoon)));
    }
};

TEST(BuiltInSystem, EarthAndMoonStayWithinTheirKnownDistances) {
    SolarSystem ss;
    ASSERT_EQ(ss.count, 4u);
    ASSERT_STREQ(ss.body[kMoon].name, "Moon");
    // Perihelion 1.4710e11 m, aphelion 1.5210e11 m, each to 1e8 m: Earth's own
    // ~4700 km swing about the barycentre fits within that.
    double lo = 1e300, hi = 0;
    for (double d = 0; d < 730; d += 0.25) {
        ss.at(kJ2000 + d);
        lo = std::min(lo, length(ss.s[kEarth].pos));
        hi = std::max(hi, length(ss.s[kEarth].pos));
        const double moon = length(ss.s[kMoon].pos - ss.s[kEarth].pos);
        EXPECT_TRUE(moon > 3.56e8 && moon < 4.07e8) << d;
    }
    EXPECT_NEAR(lo, 1.4710e11, 1e8);
    EXPECT_NEAR(hi, 1.5210e11, 1e8);
    EXPECT_EQ(length(ss.s[kSun].pos), 0.0);
    // At J2000 the Sun's geometric longitude seen from Earth is 280.382 deg (the
    // low-precision solar theory), so Earth's heliocentric longitude is 100.382.
    ss.at(kJ2000);
    EXPECT_NEAR(std::atan2(ss.s[kEarth].pos.y, ss.s[kEarth].pos.x) * 180 / std::numbers::pi, 100.382, 0.01);
}

TEST(BuiltInSystem, BarycentreYearIsTheSiderealYear) {
    // The Kepler period of these mean elements is within 0.003 d of the sidereal
    // year 365.25636 d; after exactly one period the barycentre is back.
    SolarSystem ss;
    const double a = ss.orbits[kEarth].elements.a, mu = ss.gm(kSun) + ss.gm(kEarth) + ss.gm(kMoon);
    const double year = 2 * std::numbers::pi * std::sqrt(a * a * a / mu) / kDay;
    EXPECT_NEAR(year, 365.25636, 0.003);
    ss.at(kJ2000 + 100);
    const VECTOR3 b0 = ss.earthMoonBarycentre();
    ss.at(kJ2000 + 100 + year);
    EXPECT_LT(relVec(ss.earthMoonBarycentre(), b0), 1e-9);
}

TEST(BuiltInSystem, EarthAndMoonBalanceAboutTheirBarycentre) {
    SolarSystem ss;
    for (double d : {-3000.0, 17.3, 4000.0}) {
        ss.at(kJ2000 + d);
        const double mu = ss.gm(kSun) + ss.gm(kEarth) + ss.gm(kMoon);
        const StateVectors bary = stateFromElements(ss.orbits[kEarth].elements, mu, d * kDay);
        EXPECT_LT(relVec(ss.earthMoonBarycentre(), bary.pos), 1e-12);
        EXPECT_LT(relVec(ss.earthMoonBarycentre(&StateVectors::vel), bary.vel), 1e-12);
        const StateVectors moon = stateFromElements(ss.orbits[kMoon].elements, ss.gm(kEarth) + ss.gm(kMoon), d * kDay);
        EXPECT_LT(relVec(ss.s[kMoon].pos - ss.s[kEarth].pos, moon.pos), 1e-9);
        EXPECT_LT(relVec(ss.s[kMoon].vel - ss.s[kEarth].vel, moon.vel), 1e-9);
    }
}

TEST(Ephemeris, NestedSystemsKeepEachBarycentreOnItsOrbit) {
    // Star; planet with two moons; a sub-moon of the first moon.
    const double gS = 1e20, gP = 4e14, g1 = 2e13, g2 = 5e12, g11 = 1e11, g1sys = g1 + g11, gPsys = gP + g1sys + g2;
    const BodyOrbit b[] = {
        {-1, gS, {0, 0, 0, 0, 0, 0}, 0},         {0, gP, {1.5e11, 0.1, 0.05, 1.0, 2.0, 3.0}, 0},
        {1, g1, {4.0e8, 0.05, 0.3, 0.5, 1.5, 0.2}, 10}, {1, g2, {9.0e8, 0.2, 2.0, 4.0, 0.1, 5.0}, 0},
        {2, g11, {2.0e7, 0.01, 1.0, 3.0, 2.0, 1.0}, 0},
    };
    const double mjd = 123.4, t = mjd * kDay;
    StateVectors s[5];
    simhost::ephemerisStates(b, 5, mjd, s);
    auto kepler = [&](int i, double mu, double dt) { return stateFromElements(b[i].elements, mu, dt).pos; };
    const VECTOR3 planetBary = (s[1].pos * gP + s[2].pos * g1 + s[4].pos * g11 + s[3].pos * g2) * (1 / gPsys);
    EXPECT_LT(relVec(planetBary, kepler(1, gS + gPsys, t)), 1e-12);
    const VECTOR3 moon1Bary = (s[2].pos * g1 + s[4].pos * g11) * (1 / g1sys);
    EXPECT_LT(relVec(moon1Bary - s[1].pos, kepler(2, gP + g1sys, t - 10 * kDay)), 1e-9);
    EXPECT_LT(relVec(s[3].pos - s[1].pos, kepler(3, gP + g2, t)), 1e-9);
    EXPECT_LT(relVec(s[4].pos - s[2].pos, kepler(4, g1 + g11, t)), 1e-9);
}

}  // namespace
