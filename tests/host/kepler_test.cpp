// Two-body orbit checks against closed-form conic relations.
#include "host/physics/kepler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <utility>

#include "host/physics/physical_constants.h"

namespace {

using simhost::elementsFromState;
using simhost::StateVectors;
using simhost::stateFromElements;

constexpr double kPi = std::numbers::pi, kTwoPi = 2 * kPi;
constexpr double kMu = simhost::kGmEarth;  // m^3/s^2
// Tolerances: rounding of an angle near a turn (rad); the elements' round trip
// through state vectors (e, rad), where near-parabolic orbits lose digits; the
// parabola's time to periapsis in small exact numbers (s).
constexpr double kAngleRoundingTolerance = 1e-12;
constexpr double kRoundTripETolerance = 1e-11;
constexpr double kRoundTripInclinationTolerance = 1e-10;
constexpr double kRoundTripAngleTolerance = 1e-9;
constexpr double kParabolaTimeTolerance = 1e-15;

double angleDiff(double a, double b) { return std::fabs(std::remainder(a - b, kTwoPi)); }
double rel(double got, double want) { return std::fabs(got / want - 1.0); }
double relVec(const VECTOR3& got, const VECTOR3& want) { return length(got - want) / length(want); }
// Times to 1e-9 relative; a time of exactly zero must come out exactly zero.
::testing::AssertionResult timeIs(double got, double want) {
    if (want == 0 ? got == 0 : rel(got, want) < 1e-9) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got << " s, expected " << want << " s";
}

// State on the conic (semi-latus rectum p, eccentricity e) at true anomaly nu,
// prograde in the ecliptic plane with the periapsis at +x.
StateVectors conic(double p, double e, double nu, double mu = kMu) {
    const double r = p / (1 + e * std::cos(nu)), k = std::sqrt(mu / p);
    const double vr = k * e * std::sin(nu), vt = k * (1 + e * std::cos(nu)), c = std::cos(nu), s = std::sin(nu);
    return {vec3(r * c, r * s, 0), vec3(vr * c - vt * s, vr * s + vt * c, 0)};
}

struct Orbit {
    ELEMENTS el{};
    ORBITPARAM prm{};
    explicit Orbit(const StateVectors& s, double mu = kMu) { EXPECT_TRUE(elementsFromState(s.pos, s.vel, mu, el, &prm)); }
};

TEST(KeplerEquation, SolutionsSatisfyTheEquationToRounding) {
    for (double e : {0.0, 0.5, 0.9, 0.999999})
        for (double M : {-20.0, -kPi, -1e-9, 0.0, 1e-12, 0.3, 2.0, kPi, 1e4}) {
            const double E = simhost::eccentricAnomaly(M, e);
            EXPECT_LE(std::fabs(E - e * std::sin(E) - M), 1e-15 * std::max(1.0, std::fabs(M))) << e << " " << M;
        }
}

TEST(ClosedOrbits, CircularEquatorialPeriodAndTimeToPeriapsis) {
    // The periapsis is put at +x, so from angle th it is (2*pi - th)/n away.
    const double r = 6.8e6, n = std::sqrt(kMu / (r * r * r));
    for (double th : {0.0, 0.5, 3.0, 5.5}) {
        const Orbit o(conic(r, 0, th));
        EXPECT_EQ(o.el.e, 0.0);
        EXPECT_LT(rel(o.prm.T, kTwoPi / n), 1e-9);
        EXPECT_TRUE(timeIs(o.prm.PeT, th == 0 ? 0.0 : (kTwoPi - th) / n)) << th;
    }
}

TEST(ClosedOrbits, EccentricPeriodShapeAndTimeToPeriapsis) {
    // Expected times by the half-angle route tan(E/2) = sqrt((1-e)/(1+e))*tan(nu/2).
    const double e = 0.6, p = 1.2e7, a = p / (1 - e * e), n = std::sqrt(kMu / (a * a * a));
    for (double nu : {-2.5, -0.3, 0.0, 0.3, 2.5}) {
        const Orbit o(conic(p, e, nu));
        const double E = 2 * std::atan(std::sqrt((1 - e) / (1 + e)) * std::tan(nu / 2));
        const double M = std::fmod(E - e * std::sin(E) + kTwoPi, kTwoPi);
        EXPECT_LT(rel(o.prm.T, kTwoPi * std::sqrt(a * a * a / kMu)), 1e-9);
        EXPECT_TRUE(timeIs(o.prm.PeT, nu == 0 ? 0.0 : (kTwoPi - M) / n)) << nu;
        EXPECT_TRUE(timeIs(o.prm.ApT, std::fmod(3 * kPi - M, kTwoPi) / n)) << nu;
        EXPECT_NEAR(o.prm.MnA, M, kAngleRoundingTolerance);
        EXPECT_LT(rel(o.prm.SMi, a * std::sqrt(1 - e * e)) + rel(o.prm.ApD, a * (1 + e)) + rel(o.prm.PeD, a * (1 - e)),
                  1e-12);
    }
    // At and next to apoapsis 1 + cos(nu) is all rounding: the half angle must
    // not come from it. (Below e = 0.5, where apoapsis is not taken by energy.)
    const double low = 0.3;
    for (double nu : {-kPi + 1e-6, kPi - 1e-6, kPi}) {
        const Orbit o(conic(p, low, nu));
        const double E = 2 * std::atan(std::sqrt((1 - low) / (1 + low)) * std::tan(nu / 2));
        EXPECT_LT(angleDiff(o.prm.EcA, E), kAngleRoundingTolerance) << nu;
        EXPECT_LT(angleDiff(o.prm.MnA, E - low * std::sin(E)), kAngleRoundingTolerance) << nu;
    }
}

TEST(Conversion, ElementsSurviveARoundTripThroughState) {
    const ELEMENTS cases[] = {
        {7.0e6, 0.001, 0.9, 1.2, 2.0, 0.5},      // inclined, nearly circular
        {2.5e7, 0.3, 2.6, 4.0, 1.0, 3.0},        // retrograde
        {4.0e7, 0.95, 0.5, 0.3, 5.0, 6.0},       // highly eccentric
        {8.0e6, 0.2, kPi, 0.0, 1.7, 2.9},        // equatorial retrograde
        {-2.0e7, 1.8, 0.7, 0.4, 1.1, 1.1 - 0.8}, // hyperbolic, inbound
        {7.0e14, 1 - 1e-8, 0.4, 1.0, 2.0, 4.0},  // near-parabolic, far out at r ~ 1.8a
    };
    for (const ELEMENTS& in : cases) {
        const StateVectors s = stateFromElements(in, kMu, 0.0);
        const ELEMENTS out = Orbit(s).el;
        EXPECT_LT(rel(out.a, in.a), 1e-10) << in.e;
        EXPECT_NEAR(out.e, in.e, kRoundTripETolerance) << in.e;
        EXPECT_NEAR(out.i, in.i, kRoundTripInclinationTolerance) << in.e;
        for (auto [got, want] : {std::pair{out.theta, in.theta}, {out.omegab, in.omegab}, {out.L, in.L}})
            EXPECT_NEAR(angleDiff(got, want), 0.0, kRoundTripAngleTolerance) << in.e;
    }
    // Within 1e-10 of the ecliptic the node goes to +x; the state must not move.
    for (double i : {1e-12, kPi - 1e-12}) {
        const StateVectors s = stateFromElements({9.0e6, 0.3, i, 0.7, 2.0, 1.0}, kMu, 0.0);
        const Orbit o(s);
        EXPECT_EQ(o.el.theta, 0.0);
        EXPECT_LT(relVec(stateFromElements(o.el, kMu, 0.0).pos, s.pos), 1e-9) << i;
    }
}

TEST(Propagation, VisVivaMomentumAndPeriodicity) {
    const ELEMENTS el{2.0e7, 0.7, 1.1, 0.8, 2.3, 4.0};
    const double T = kTwoPi * std::sqrt(el.a * el.a * el.a / kMu);
    const StateVectors s0 = stateFromElements(el, kMu, 0.0);
    for (int k = 1; k <= 16; ++k) {
        const StateVectors s = stateFromElements(el, kMu, T * k / 16);
        const double r = length(s.pos), v = length(s.vel);
        EXPECT_LT(rel(v * v, kMu * (2 / r - 1 / el.a)), 1e-12) << k;  // vis-viva: energy -mu/(2a)
        EXPECT_LT(relVec(crossp(s.pos, s.vel), crossp(s0.pos, s0.vel)), 1e-12) << k;
    }
    const StateVectors sT = stateFromElements(el, kMu, T);
    EXPECT_LT(relVec(sT.pos, s0.pos), 1e-9);
    EXPECT_LT(relVec(sT.vel, s0.vel), 1e-9);
}

// The records are written in place: on a closed, parabolic and open orbit
// every field of both is written (none keeps what the caller left there), the
// same elements come without the ORBITPARAM record, and a refused state
// (radial motion) leaves both records as they were.
TEST(ElementsRecords, EveryFieldWrittenOnEveryKindOfOrbitAndNoneOnRefusal) {
    constexpr double kLeft = -123.25;  // what the caller left in the records
    auto filled = [&](auto& record) {
        double fields[sizeof record / sizeof(double)];
        std::memcpy(fields, &record, sizeof record);
        return std::count(std::begin(fields), std::end(fields), kLeft) == 0;
    };
    // An ellipse, an open orbit, and a parabola in small exact numbers (mu 2).
    const struct {
        StateVectors s;
        double mu, e;
    } orbits[] = {{conic(1.4e7, 0.3, -1.0), kMu, 0.3},
                  {conic(1.4e7, 1.5, -1.0), kMu, 1.5},
                  {StateVectors{vec3(0, -2, 0), vec3(1, 1, 0)}, 2.0, 1.0}};
    for (const auto& orbit : orbits) {
        ELEMENTS el{}, alone{};
        ORBITPARAM prm{};
        std::fill_n(reinterpret_cast<double*>(&el), 6, kLeft);
        std::fill_n(reinterpret_cast<double*>(&prm), 12, kLeft);
        ASSERT_TRUE(elementsFromState(orbit.s.pos, orbit.s.vel, orbit.mu, el, &prm)) << orbit.e;
        EXPECT_NEAR(el.e, orbit.e, 1e-12);
        EXPECT_TRUE(filled(el)) << orbit.e;
        EXPECT_TRUE(filled(prm)) << orbit.e;
        ASSERT_TRUE(elementsFromState(orbit.s.pos, orbit.s.vel, orbit.mu, alone, nullptr)) << orbit.e;
        EXPECT_EQ(std::memcmp(&alone, &el, sizeof el), 0) << orbit.e;
    }
    ELEMENTS el{};
    ORBITPARAM prm{};
    std::fill_n(reinterpret_cast<double*>(&el), 6, kLeft);
    std::fill_n(reinterpret_cast<double*>(&prm), 12, kLeft);
    EXPECT_FALSE(elementsFromState(vec3(7e6, 0, 0), vec3(3e3, 0, 0), kMu, el, &prm));
    EXPECT_EQ(std::count(reinterpret_cast<double*>(&el), reinterpret_cast<double*>(&el) + 6, kLeft), 6);
    EXPECT_EQ(std::count(reinterpret_cast<double*>(&prm), reinterpret_cast<double*>(&prm) + 12, kLeft), 12);
}

TEST(OpenOrbits, HyperbolaConventionsAndTimeToPeriapsis) {
    const double e = 1.5, rp = 7.0e6, p = rp * (1 + e), A = p / (e * e - 1), n = std::sqrt(kMu / (A * A * A));
    for (double nu : {-1.0, 1.0}) {
        const StateVectors s = conic(p, e, nu);
        const Orbit o(s);
        EXPECT_LT(rel(o.el.a, -kMu / (dotp(s.vel, s.vel) - 2 * kMu / length(s.pos))), 1e-12);
        EXPECT_TRUE(std::isinf(o.prm.T) && std::isinf(o.prm.ApD) && std::isnan(o.prm.ApT));
        const double H = 2 * std::atanh(std::sqrt((e - 1) / (e + 1)) * std::tan(nu / 2));
        EXPECT_TRUE(timeIs(o.prm.PeT, -(e * std::sinh(H) - H) / n)) << nu;  // < 0 once past
        EXPECT_LT(rel(length(stateFromElements(o.el, kMu, o.prm.PeT).pos), rp), 1e-9) << nu;
    }
}

TEST(OpenOrbits, TimeToPeriapsisIsContinuousThroughTheParabola) {
    // Barker: t = sqrt(p^3/mu)*(D + D^3/3)/2 with D = tan(nu/2). Orbits with
    // e = 1 -+ 1e-12 differ from it by ~1e-12 relative; 1e-9 catches cancellation.
    const double p = 1.4e7, D = std::tan(-0.5), barker = -std::sqrt(p * p * p / kMu) * (D + D * D * D / 3) / 2;
    for (double e : {1 - 1e-12, 1.0, 1 + 1e-12}) EXPECT_LT(rel(Orbit(conic(p, e, -1.0)).prm.PeT, barker), 1e-9) << e;
    // Exactly e = 1 in small numbers: mu = 2, p = 2, nu = -+pi/2, PeT = -+4/3 s.
    for (double side : {-1.0, 1.0}) {
        const Orbit o(StateVectors{vec3(0, 2 * side, 0), vec3(-side, 1, 0)}, 2.0);
        ASSERT_EQ(o.el.e, 1.0);
        EXPECT_TRUE(std::isinf(o.el.a) && o.el.a < 0);
        EXPECT_NEAR(o.prm.PeT, -side * 4 / 3, kParabolaTimeTolerance);
    }
}

TEST(Conversion, RejectsDegenerateStatesAndLeavesOutputsAlone) {
    const VECTOR3 r = vec3(7e6, 0, 0), v = vec3(0, 7.5e3, 0), zero = vec3(0, 0, 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        VECTOR3 r, v;
        double mu;
    } cases[] = {{zero, v, kMu}, {r, zero, kMu},  {vec3(nan, 0, 0), v, kMu},
                 {r, v, 0.0},    {r, v, -kMu},    {r, vec3(-3e3, 0, 0), kMu}};  // last: radial fall
    for (const auto& c : cases) {
        ELEMENTS el{1, 2, 3, 4, 5, 6}, el0 = el;
        ORBITPARAM prm{}, prm0{};
        EXPECT_FALSE(elementsFromState(c.r, c.v, c.mu, el, &prm));
        EXPECT_EQ(std::memcmp(&el, &el0, sizeof el), 0);
        EXPECT_EQ(std::memcmp(&prm, &prm0, sizeof prm), 0);
    }
}

}  // namespace
