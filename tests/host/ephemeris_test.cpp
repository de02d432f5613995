// Ephemeris checks: the built-in bodies against published almanac values
// (new and full moons, the Moon's perigee, Earth's perihelion and aphelion),
// known ranges and periods, and the barycentre bookkeeping of nested systems.
#include "host/physics/ephemeris.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <numbers>

#include "host/physics/lunar_theory.h"
#include "host/physics/physical_constants.h"
#include "host/physics/solar_system.h"

namespace {

using simhost::BodyOrbit;
using simhost::StateVectors;
using simhost::stateFromElements;

constexpr double kJ2000 = simhost::kJ2000Mjd, kDay = simhost::kSecondsPerDay;
constexpr double kTtMinusUtc2024 = 69.184 / kDay;  // days; 32.184 s + 37 leap seconds (2017 on)
constexpr double kTtMinusUtc2000 = 64.184 / kDay;
constexpr double kDeg = 180.0 / std::numbers::pi;  // degrees per radian

// Modified Julian Date of a UTC calendar moment in TT (Gregorian, valid 1900-2099).
double mjdTt(int year, int month, int day, int hour, int minute, double ttMinusUtc) {
    // Days from 1858-11-17 by the civil-from-days algorithm's inverse.
    const int y = month <= 2 ? year - 1 : year, m = month <= 2 ? month + 9 : month - 3;
    const int era = y / 400, yoe = y - era * 400, doy = (153 * m + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const double daysFromUnixEpoch = era * 146097 + doe - 719468;
    return daysFromUnixEpoch + 40587.0 + (hour + minute / 60.0) / 24.0 + ttMinusUtc;
}
enum { kSun, kEarth, kMoon, kMars, kVenus, kJupiter, kBodies };  // the built-in order

double relVec(const VECTOR3& got, const VECTOR3& want) { return length(got - want) / length(want); }

struct SolarSystem {
    std::size_t count = 0;
    const simhost::BodySpec* body = nullptr;
    BodyOrbit orbits[kBodies]{};
    StateVectors s[kBodies]{};
    // analytic: the models a build without the library uses, whatever this one has.
    explicit SolarSystem(bool analytic = false) {
        body = simhost::builtInBodies(count);
        for (std::size_t i = 0; i < std::min<std::size_t>(count, kBodies); ++i) {
            orbits[i] = body[i].orbit;
            if (analytic) orbits[i].library = simhost::LibraryBody::None;
        }
    }
    void at(double mjd) { simhost::ephemerisStates(orbits, kBodies, mjd, s); }
    double gm(int i) const { return body[i].gm; }
    double mu(int i) const { return simhost::orbitMu(orbits, kBodies, static_cast<std::size_t>(i)); }
    // The Moon's geocentric ecliptic longitude minus the Sun's (deg, -180..180):
    // 0 at new moon, 180 at full moon.
    double elongation(double mjd) {
        at(mjd);
        const VECTOR3 moon = s[kMoon].pos - s[kEarth].pos, sun = s[kSun].pos - s[kEarth].pos;
        return std::remainder(std::atan2(moon.y, moon.x) - std::atan2(sun.y, sun.x), 2 * std::numbers::pi) * kDeg;
    }
    // Earth's distance from the Sun (m).
    double sunDistance(double mjd) {
        at(mjd);
        return length(s[kEarth].pos - s[kSun].pos);
    }
    // GM-weighted mean of Earth and Moon, of positions or (with &StateVectors::vel) velocities.
    VECTOR3 earthMoonBarycentre(VECTOR3 StateVectors::*of = &StateVectors::pos) const {
        return (s[kEarth].*of * gm(kEarth) + s[kMoon].*of * gm(kMoon)) * (1 / (gm(kEarth) + gm(kMoon)));
    }
};

TEST(BuiltInSystem, EarthAndMoonStayWithinTheirKnownDistances) {
    SolarSystem ss;
    ASSERT_EQ(ss.count, std::size_t{kBodies});
    ASSERT_STREQ(ss.body[kMoon].name, "Moon");
    // Perihelion 1.4710e11 m, aphelion 1.5210e11 m, each to 1e8 m: Earth's own
    // ~4700 km swing about the barycentre fits within that.
    double lo = 1e300, hi = 0;
    for (double d = 0; d < 730; d += 0.5) {
        ss.at(kJ2000 + d);
        lo = std::min(lo, length(ss.s[kEarth].pos));
        hi = std::max(hi, length(ss.s[kEarth].pos));
        const double moon = length(ss.s[kMoon].pos - ss.s[kEarth].pos);
        EXPECT_TRUE(moon > 3.56e8 && moon < 4.07e8) << d;
    }
    constexpr double kSunDistanceTolerance = 1e8;  // m
    EXPECT_NEAR(lo, 1.4710e11, kSunDistanceTolerance);
    EXPECT_NEAR(hi, 1.5210e11, kSunDistanceTolerance);
    EXPECT_EQ(length(ss.s[kSun].pos), 0.0);
    // At J2000 the Sun's geometric longitude seen from Earth is 280.382 deg (the
    // low-precision solar theory), so Earth's heliocentric longitude is 100.382.
    ss.at(kJ2000);
    constexpr double kLongitudeTolerance = 0.01;  // deg
    EXPECT_NEAR(std::atan2(ss.s[kEarth].pos.y, ss.s[kEarth].pos.x) * kDeg, 100.382, kLongitudeTolerance);
}

TEST(BuiltInSystem, BarycentreYearIsTheSiderealYear) {
    // The mean longitude's rate gives the sidereal year, 365.25636 d; after one
    // the barycentre is back in the same direction, but for the slow drift of
    // its elements (the perihelion's 0.3 deg a century moves it ~1e-6 rad).
    SolarSystem ss(true);
    const double year = 2 * std::numbers::pi / ss.orbits[kEarth].ratesPerCentury.L * simhost::kDaysPerJulianCentury;
    constexpr double kYearTolerance = 1e-4;  // days
    EXPECT_NEAR(year, 365.25636, kYearTolerance);
    ss.at(kJ2000 + 100);
    const VECTOR3 b0 = ss.earthMoonBarycentre();
    ss.at(kJ2000 + 100 + year);
    const VECTOR3 b1 = ss.earthMoonBarycentre();
    EXPECT_LT(length(crossp(b0, b1)) / (length(b0) * length(b1)), 1e-5);
}

TEST(BuiltInSystem, EarthAndMoonBalanceAboutTheirBarycentre) {
    SolarSystem ss;
    for (double d : {-3000.0, 17.3, 4000.0}) {
        ss.at(kJ2000 + d);
        const StateVectors bary = simhost::orbitState(ss.orbits[kEarth], ss.mu(kEarth), kJ2000 + d);
        EXPECT_LT(relVec(ss.earthMoonBarycentre(), bary.pos), 1e-12);
        EXPECT_LT(relVec(ss.earthMoonBarycentre(&StateVectors::vel), bary.vel), 1e-12);
        const StateVectors moon = simhost::orbitState(ss.orbits[kMoon], ss.mu(kMoon), kJ2000 + d);
        EXPECT_LT(relVec(ss.s[kMoon].pos - ss.s[kEarth].pos, moon.pos), 1e-9);
        EXPECT_LT(relVec(ss.s[kMoon].vel - ss.s[kEarth].vel, moon.vel), 1e-9);
    }
}

// New and full moons of the almanac (UTC; the host's dates are TT). The
// Moon's elongation changes by 0.51 deg an hour, so kPhaseTolerance is about
// twenty minutes; a Moon on a fixed ellipse is off by degrees within a year.
TEST(BuiltInSystem, NewAndFullMoonsComeOnTheAlmanacsDates) {
    constexpr double kPhaseTolerance = 0.17;  // deg
    struct Phase {
        double mjd, elongation;
    };
    const Phase phases[] = {
        {mjdTt(2000, 1, 21, 4, 40, kTtMinusUtc2000), 180.0},  // full, the total lunar eclipse
        {mjdTt(2017, 8, 21, 18, 30, kTtMinusUtc2024), 0.0},   // new, the total solar eclipse
        {mjdTt(2024, 4, 8, 18, 21, kTtMinusUtc2024), 0.0},    // new, the total solar eclipse
        {mjdTt(2024, 9, 18, 2, 34, kTtMinusUtc2024), 180.0},  // full, the partial lunar eclipse
        {mjdTt(2024, 12, 1, 6, 21, kTtMinusUtc2024), 0.0},
        {mjdTt(2024, 12, 15, 9, 2, kTtMinusUtc2024), 180.0},
    };
    SolarSystem ss;
    for (const Phase& p : phases)
        EXPECT_NEAR(std::remainder(ss.elongation(p.mjd) - p.elongation, 360.0), 0.0, kPhaseTolerance) << p.mjd;
}

// The Moon's distance: the perigee of 2016-11-14 (356,509 km at 11:23 UTC, the
// closest since 1948) and the range over 2000-2030, 356,400-406,700 km.
TEST(BuiltInSystem, MoonKeepsItsPublishedDistances) {
    constexpr double kDistanceTolerance = 10e3;  // m; the theory's distance series is good to a few km
    constexpr double kTimeTolerance = 1.0 / 24;   // days
    const double published = mjdTt(2016, 11, 14, 11, 23, kTtMinusUtc2024);
    double closest = 1e300, when = 0;
    for (double t = published - 2; t < published + 2; t += 1.0 / 1440) {
        const double r = length(simhost::lunarState(t).pos);
        if (r < closest) closest = r, when = t;
    }
    EXPECT_NEAR(closest, 356509e3, kDistanceTolerance);
    EXPECT_NEAR(when, published, kTimeTolerance);
    double lo = 1e300, hi = 0;
    for (double t = kJ2000; t < kJ2000 + 30 * 365.25; t += 0.05) {
        const double r = length(simhost::lunarState(t).pos);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    constexpr double kRangeTolerance = 200e3;  // m: thirty years' extremes against the published range
    EXPECT_NEAR(lo, 356400e3, kRangeTolerance);
    EXPECT_NEAR(hi, 406700e3, kRangeTolerance);
}

// Earth's perihelion and aphelion of 2024: 2024-01-03 00:38 UTC at 147,100,632
// km, 2024-07-05 05:06 UTC at 152,100,533 km. The approximate elements are good
// to about 20 arcseconds, which puts the turning points within an hour or two
// (the Moon shifts them by hours from year to year) and the distances within
// a few thousand km.
TEST(BuiltInSystem, EarthPassesPerihelionAndAphelionOnTheirDates) {
    constexpr double kDistanceTolerance = 3000e3;  // m
    constexpr double kTimeTolerance = 3.0 / 24;    // days
    SolarSystem ss;
    auto extreme = [&](double published, double sign, double& distance) {
        double best = -1e300, when = 0;
        for (double t = published - 3; t < published + 3; t += 1.0 / 144) {
            const double r = sign * ss.sunDistance(t);
            if (r > best) best = r, when = t;
        }
        distance = sign * best;
        return when;
    };
    double perihelion = 0, aphelion = 0;
    const double perihelionDate = mjdTt(2024, 1, 3, 0, 38, kTtMinusUtc2024);
    const double aphelionDate = mjdTt(2024, 7, 5, 5, 6, kTtMinusUtc2024);
    EXPECT_NEAR(extreme(perihelionDate, -1.0, perihelion), perihelionDate, kTimeTolerance);
    EXPECT_NEAR(extreme(aphelionDate, 1.0, aphelion), aphelionDate, kTimeTolerance);
    EXPECT_NEAR(perihelion, 147100632e3, kDistanceTolerance);
    EXPECT_NEAR(aphelion, 152100533e3, kDistanceTolerance);
}

// Each model's velocity is its position's rate of change: the five-point
// central difference over +-2 h (truncation below 1e-6 m/s; the positions'
// own rounding of ~1 cm adds ~1e-5 m/s) against the model's own velocity.
TEST(BuiltInSystem, ModelVelocitiesAreThePositionsRates) {
    constexpr double kVelocityTolerance = 1e-4;  // m/s: the Moon's leaves out the ecliptic's slow turning
    constexpr double kStep = 3600.0;             // s
    for (bool analytic : {false, true}) {
        SolarSystem ss(analytic);
        for (int body : {kEarth, kMoon, kMars, kVenus, kJupiter}) {
            for (double d : {-20000.0, 3.7, 9000.0}) {
                const double t = kJ2000 + d;
                auto at = [&](double k) {
                    return simhost::orbitState(ss.orbits[body], ss.mu(body), t + k * kStep / kDay).pos;
                };
                const VECTOR3 rate = ((at(1) - at(-1)) * 8.0 - (at(2) - at(-2))) * (1 / (12 * kStep));
                EXPECT_LT(length(rate - simhost::orbitState(ss.orbits[body], ss.mu(body), t).vel), kVelocityTolerance)
                    << body << " " << d << " " << analytic;
            }
        }
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

// Composed from the satellite lists, each body's system (it and its
// satellites, theirs included) has its barycentre where its relative state
// puts it about its parent's centre, positions and velocities, for a nested
// system whose moons are not listed next to their planet and with a body
// naming a parent after it (no parent: it stays at the origin and is nobody's
// satellite). Without velocities they are left as they were.
TEST(Ephemeris, SatelliteListsPutEverySystemsBarycentreOnItsOrbit) {
    const BodyOrbit b[] = {
        {-1, 1e20, {0, 0, 0, 0, 0, 0}, 0},          {0, 4e14, {1.5e11, 0.1, 0.05, 1.0, 2.0, 3.0}, 0},
        {0, 3e14, {2.5e11, 0.1, 0.05, 1.0, 2.0, 3.0}, 0}, {1, 2e13, {4.0e8, 0.05, 0.3, 0.5, 1.5, 0.2}, 0},
        {2, 5e12, {9.0e8, 0.2, 2.0, 4.0, 0.1, 5.0}, 0}, {1, 7e12, {6.0e8, 0.1, 1.0, 2.0, 0.3, 1.0}, 0},
        {3, 1e11, {2.0e7, 0.01, 1.0, 3.0, 2.0, 1.0}, 0}, {8, 1e10, {1.0e7, 0.01, 1.0, 3.0, 2.0, 1.0}, 0},
    };
    constexpr std::size_t kCount = std::size(b);
    const simhost::SatelliteLists lists = simhost::satelliteLists(b, kCount, nullptr);
    ASSERT_EQ(lists.first.size(), kCount + 1);
    EXPECT_EQ(lists.first[1], 2u);  // the star's: its two planets
    EXPECT_EQ(lists.first[2] - lists.first[1], 2u);  // the first planet's: two moons
    StateVectors relative[kCount];
    for (std::size_t i = 0; i < kCount; ++i) {
        const double k = static_cast<double>(i + 1);
        relative[i] = {vec3(1.1e9 * k, -3.7e8 / k, 2.9e7 * k * k), vec3(310.0 / k, 17.0 * k, -2.3 * k)};
    }
    for (bool velocities : {true, false}) {
        StateVectors s[kCount];
        std::copy(relative, relative + kCount, s);
        simhost::composeGlobalStates(b, kCount, lists, s, velocities);
        // Each system's GM and GM-weighted state, gathered from the last body
        // back (satellites come after their parents), and checked once whole.
        double gm[kCount];
        StateVectors weighted[kCount];
        for (std::size_t i = 0; i < kCount; ++i) gm[i] = b[i].gm, weighted[i] = {s[i].pos * gm[i], s[i].vel * gm[i]};
        EXPECT_EQ(length(s[0].pos), 0.0);
        EXPECT_EQ(length(s[7].pos), 0.0);
        for (std::size_t i = kCount - 2; i > 0; --i) {
            const std::size_t p = static_cast<std::size_t>(b[i].parent);
            EXPECT_LT(relVec(weighted[i].pos * (1.0 / gm[i]) - s[p].pos, relative[i].pos), 1e-12) << i;
            if (velocities) EXPECT_LT(relVec(weighted[i].vel * (1.0 / gm[i]) - s[p].vel, relative[i].vel), 1e-12) << i;
            else EXPECT_EQ(s[i].vel.x, relative[i].vel.x) << i;
            gm[p] += gm[i];
            weighted[p] = {weighted[p].pos + weighted[i].pos, weighted[p].vel + weighted[i].vel};
        }
    }
}

}  // namespace
