// Ephemeris checks: the built-in bodies against known orbit ranges and periods,
// and the barycentre bookkeeping of nested systems.
#include "host/ephemeris.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "host/kepler.h"
#include "host/solar_system.h"

namespace {

using simhost::BodyOrbit;
using simhost::StateVectors;

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kJ2000 = 51544.5;
constexpr double kDay = 86400.0;

double relVec(const VECTOR3& got, const VECTOR3& want) { return length(got - want) / length(want); }

class BuiltInSystem : public ::testing::Test {
protected:
    void SetUp() override {
        specs = simhost::builtInBodies(count);
        ASSERT_EQ(count, 4u);
        for (std::size_t i = 0; i < count; ++i) orbits[i] = specs[i].orbit;
        sun = index("Sun");
        earth = index("Earth");
        moon = index("Moon");
    }
    std::size_t index(const char* name) const {
        for (std::size_t i = 0; i < count; ++i)
            if (std::strcmp(specs[i].name, name) == 0) return i;
        ADD_FAILURE() << name;
        return 0;
    }
    void at(double mjd) { simhost::ephemerisStates(orbits, count, mjd, states); }
    // GM-weighted mean of Earth and Moon.
    StateVectors earthMoonBarycentre() const {
        const double gE = specs[earth].gm, gM = specs[moon].gm, w = 1.0 / (gE + gM);
        return {(states[earth].pos * gE + states[moon].pos * gM) * w,
                (states[earth].vel * gE + states[moon].vel * gM) * w};
    }

    const simhost::BodySpec* specs = nullptr;
    std::size_t count = 0;
    BodyOrbit orbits[4];
    StateVectors states[4];
    std::size_t sun = 0, earth = 0, moon = 0;
};

TEST_F(BuiltInSystem, EarthStaysBetweenPerihelionAndAphelion) {
    // Earth itself swings up to ~4700 km about the barycentre's a*(1 -+ e).
    const ELEMENTS& emb = orbits[earth].elements;
    const double peri = emb.a * (1 - emb.e), aph = emb.a * (1 + emb.e), slack = 5.0e6;
    double lo = 1e300, hi = 0;
    for (double d = 0; d < 730; d += 0.5) {
        at(kJ2000 + d);
        EXPECT_EQ(length(states[sun].pos), 0.0);
        const double r = length(states[earth].pos);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_NEAR(lo, peri, slack);
    EXPECT_NEAR(hi, aph, slack);
    EXPECT_NEAR(peri, 1.471e11, 1e8);  // known perihelion and aphelion distances
    EXPECT_NEAR(aph, 1.521e11, 1e8);
}

TEST_F(BuiltInSystem, BarycentreYearIsTheSiderealYear) {
    // The Kepler period of these mean elements is within 0.003 d of the sidereal
    // year 365.25636 d (the mean a and mean motion of the table differ slightly).
    const double mu = specs[sun].gm + specs[earth].gm + specs[moon].gm;
    const double a = orbits[earth].elements.a;
    const double year = kTwoPi * std::sqrt(a * a * a / mu) / kDay;
    EXPECT_NEAR(year, 365.25636, 0.003);

    at(kJ2000 + 100);
    const StateVectors b0 = earthMoonBarycentre();
    at(kJ2000 + 100 + year);
    const StateVectors b1 = earthMoonBarycentre();
    EXPECT_LT(relVec(b1.pos, b0.pos), 1e-9);
    EXPECT_LT(relVec(b1.vel, b0.vel), 1e-9);
}

TEST_F(BuiltInSystem, EarthAndMoonBalanceAboutTheirBarycentre) {
    const double gS = specs[sun].gm, gE = specs[earth].gm, gM = specs[moon].gm;
    for (double d : {-3000.0, 0.0, 17.3, 4000.0}) {
        at(kJ2000 + d);
        const StateVectors bary = earthMoonBarycentre();
        const StateVectors emb = simhost::stateFromElements(orbits[earth].elements, gS + gE + gM, d * kDay);
        EXPECT_LT(relVec(bary.pos, emb.pos), 1e-12) << d;
        EXPECT_LT(relVec(bary.vel, emb.vel), 1e-12) << d;
        const StateVectors rel = simhost::stateFromElements(orbits[moon].elements, gE + gM, d * kDay);
        EXPECT_LT(relVec(states[moon].pos - states[earth].pos, rel.pos), 1e-9) << d;
    }
}

TEST_F(BuiltInSystem, MoonDistanceStaysInItsKnownRange) {
    for (double h = 0; h < 60 * 24; h += 1) {
        at(kJ2000 + h / 24);
        const double r = length(states[moon].pos - states[earth].pos);
        EXPECT_GT(r, 3.56e8) << h;
        EXPECT_LT(r, 4.07e8) << h;
    }
}

TEST(Ephemeris, NestedSystemsKeepEachBarycentreOnItsOrbit) {
    // Star at the origin; a planet with two moons, the first of which has its own
    // moon. Every system's GM-weighted centre must follow its Kepler orbit.
    const double gS = 1e20, gP = 4e14, g1 = 2e13, g2 = 5e12, g11 = 1e11;
    const BodyOrbit b[] = {
        {-1, gS, {0, 0, 0, 0, 0, 0}, 0},
        {0, gP, {1.5e11, 0.1, 0.05, 1.0, 2.0, 3.0}, 0},
        {1, g1, {4.0e8, 0.05, 0.3, 0.5, 1.5, 0.2}, 10},
        {1, g2, {9.0e8, 0.2, 2.0, 4.0, 0.1, 5.0}, 0},
        {2, g11, {2.0e7, 0.01, 1.0, 3.0, 2.0, 1.0}, 0},
    };
    const double mjd = 123.4, t = mjd * kDay;
    StateVectors s[5];
    simhost::ephemerisStates(b, 5, mjd, s);

    auto kepler = [&](int i, double mu, double dt) { return simhost::stateFromElements(b[i].elements, mu, dt); };
    const double g1sys = g1 + g11, gPsys = gP + g1sys + g2;
    const VECTOR3 planetBary = (s[1].pos * gP + s[2].pos * g1 + s[4].pos * g11 + s[3].pos * g2) * (1 / gPsys);
    EXPECT_LT(relVec(planetBary, kepler(1, gS + gPsys, t).pos), 1e-12);
    const VECTOR3 moon1Bary = (s[2].pos * g1 + s[4].pos * g11) * (1 / g1sys);
    EXPECT_LT(relVec(moon1Bary - s[1].pos, kepler(2, gP + g1sys, t - 10 * kDay).pos), 1e-9);
    EXPECT_LT(relVec(s[3].pos - s[1].pos, kepler(3, gP + g2, t).pos), 1e-9);
    EXPECT_LT(relVec(s[4].pos - s[2].pos, kepler(4, g1 + g11, t).pos), 1e-9);
    EXPECT_EQ(length(s[0].pos), 0.0);
}

}  // namespace
