// Two-body orbit checks against closed-form conic relations.
#include "host/kepler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

namespace {

using simhost::elementsFromState;
using simhost::StateVectors;
using simhost::stateFromElements;

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kMu = 3.986004418e14;  // Earth's GM (m^3/s^2)

double angleDiff(double a, double b) { return std::fabs(std::remainder(a - b, kTwoPi)); }
double rel(double got, double want) { return std::fabs(got / want - 1.0); }
double relVec(const VECTOR3& got, const VECTOR3& want) { return length(got - want) / length(want); }

// State on the conic with semi-latus rectum p and eccentricity e at true anomaly
// nu, in the ecliptic plane with the periapsis at longitude w, prograde.
StateVectors conicState(double p, double e, double nu, double w = 0.0) {
    const double r = p / (1.0 + e * std::cos(nu));
    const double vr = std::sqrt(kMu / p) * e * std::sin(nu);
    const double vt = std::sqrt(kMu / p) * (1.0 + e * std::cos(nu));
    const double u = w + nu;
    return {vec3(r * std::cos(u), r * std::sin(u), 0),
            vec3(vr * std::cos(u) - vt * std::sin(u), vr * std::sin(u) + vt * std::cos(u), 0)};
}

TEST(KeplerEquation, SolutionsSatisfyTheEquation) {
    // Residuals to within a few ulps of the mean anomaly, across the eccentricity
    // range including the near-parabolic corner at small M.
    for (double e : {0.0, 0.1, 0.5, 0.9, 0.99, 0.999999}) {
        for (double M : {-20.0, -kPi, -1.0, -1e-9, 0.0, 1e-12, 0.3, 2.0, kPi, 7.0, 1e4}) {
            const double E = simhost::eccentricAnomaly(M, e);
            EXPECT_LE(std::fabs(E - e * std::sin(E) - M), 1e-15 * std::max(1.0, std::fabs(M))) << e << " " << M;
        }
    }
    for (double e : {1.0 + 1e-9, 1.1, 2.0, 10.0}) {
        for (double M : {-50.0, -1e-6, 0.0, 1e-12, 0.5, 3.0, 1e5}) {
            const double H = simhost::hyperbolicAnomaly(M, e);
            EXPECT_LE(std::fabs(e * std::sinh(H) - H - M), 2e-15 * std::max(1.0, std::fabs(e * std::sinh(H))))
                << e << " " << M;
        }
    }
    EXPECT_TRUE(std::isnan(simhost::eccentricAnomaly(1.0, 1.0)));
    EXPECT_TRUE(std::isnan(simhost::hyperbolicAnomaly(1.0, 1.0)));
}

TEST(OrbitParameters, ShapeAndPeriodOfCircularAndEccentricOrbits) {
    ELEMENTS el{};
    ORBITPARAM prm{};
    const double r = 7.0e6;
    ASSERT_TRUE(elementsFromState(vec3(0, r, 0), vec3(-std::sqrt(kMu / r), 0, 0), kMu, el, &prm));
    EXPECT_EQ(el.e, 0.0);
    EXPECT_LT(rel(prm.T, kTwoPi * std::sqrt(r * r * r / kMu)), 1e-9);

    // Eccentric, started at periapsis rp with v = sqrt(mu*(1 + e)/rp).
    const double rp = 7.0e6, e = 0.7, a = rp / (1.0 - e);
    ASSERT_TRUE(elementsFromState(vec3(rp, 0, 0), vec3(0, std::sqrt(kMu * (1.0 + e) / rp), 0), kMu, el, &prm));
    EXPECT_LT(rel(prm.T, kTwoPi * std::sqrt(a * a * a / kMu)), 1e-9);
    EXPECT_LT(rel(el.a, a), 1e-12);
    EXPECT_NEAR(el.e, e, 1e-12);
    EXPECT_LT(rel(prm.PeD, rp), 1e-12);
    EXPECT_LT(rel(prm.ApD, a * (1.0 + e)), 1e-12);
    EXPECT_LT(rel(prm.SMi, a * std::sqrt(1.0 - e * e)), 1e-12);
    EXPECT_LT(rel(prm.Lec, a * e), 1e-12);
    EXPECT_EQ(prm.PeT, 0.0);  // exactly at periapsis
    EXPECT_LT(rel(prm.ApT, prm.T / 2), 1e-12);
}

TEST(OrbitParameters, TimeToPeriapsisOnCircularEquatorialOrbit) {
    // The periapsis of a circular equatorial orbit is put at +x, so a vessel at
    // angle th from +x reaches it after (2*pi - th)/n, and at once at th = 0.
    const double r = 6.8e6, n = std::sqrt(kMu / (r * r * r));
    for (double th : {0.0, 0.5, kPi / 2, 3.0, 5.5}) {
        const StateVectors s = conicState(r, 0.0, th);
        ELEMENTS el{};
        ORBITPARAM prm{};
        ASSERT_TRUE(elementsFromState(s.pos, s.vel, kMu, el, &prm));
        EXPECT_EQ(el.e, 0.0);
        EXPECT_EQ(el.theta, 0.0);
        EXPECT_EQ(el.omegab, 0.0);
        if (th == 0.0)
            EXPECT_EQ(prm.PeT, 0.0);
        else
            EXPECT_LT(rel(prm.PeT, (kTwoPi - th) / n), 1e-9) << th;
        EXPECT_NEAR(prm.TrL, th, 1e-12);
    }
}

TEST(OrbitParameters, TimeToPeriapsisAndApoapsisOnEccentricOrbit) {
    // Expected times from the half-angle route tan(E/2) = sqrt((1-e)/(1+e))*tan(nu/2).
    const double e = 0.6, p = 1.2e7, a = p / (1 - e * e), n = std::sqrt(kMu / (a * a * a));
    for (double nu : {-2.5, -0.3, 0.3, 2.5}) {
        const StateVectors s = conicState(p, e, nu, 1.0);
        ELEMENTS el{};
        ORBITPARAM prm{};
        ASSERT_TRUE(elementsFromState(s.pos, s.vel, kMu, el, &prm));
        const double E = 2.0 * std::atan(std::sqrt((1 - e) / (1 + e)) * std::tan(nu / 2));
        const double M = std::fmod(E - e * std::sin(E) + kTwoPi, kTwoPi);
        EXPECT_LT(rel(prm.PeT, (kTwoPi - M) / n), 1e-9) << nu;
        EXPECT_LT(rel(prm.ApT, std::fmod(3 * kPi - M, kTwoPi) / n), 1e-9) << nu;
        EXPECT_NEAR(prm.MnA, M, 1e-12);
        EXPECT_NEAR(angleDiff(prm.TrA, nu), 0.0, 1e-12);
        EXPECT_NEAR(angleDiff(el.omegab, 1.0), 0.0, 1e-12);
        EXPECT_EQ(el.L, prm.MnL);
    }
}

TEST(Conversion, ElementsStateElementsRoundTrip) {
    const ELEMENTS cases[] = {
        {7.0e6, 0.001, 0.9, 1.2, 2.0, 0.5},     // inclined, nearly circular
        {2.5e7, 0.3, 2.6, 4.0, 1.0, 3.0},       // retrograde
        {4.0e7, 0.95, 0.5, 0.3, 5.0, 6.0},      // highly eccentric
        {1.0e7, 0.5, kPi / 2, 2.2, 2.4, 0.1},   // polar
        {8.0e6, 0.2, 0.0, 0.0, 1.7, 2.9},       // equatorial
        {8.0e6, 0.2, kPi, 0.0, 1.7, 2.9},       // equatorial retrograde
        {-2.0e7, 1.8, 0.7, 0.4, 1.1, 1.1 - 0.8} // hyperbolic, inbound
    };
    for (const ELEMENTS& in : cases) {
        const StateVectors s = stateFromElements(in, kMu, 0.0);
        ELEMENTS out{};
        ORBITPARAM prm{};
        ASSERT_TRUE(elementsFromState(s.pos, s.vel, kMu, out, &prm)) << in.e;
        EXPECT_LT(rel(out.a, in.a), 1e-10) << in.e;
        EXPECT_NEAR(out.e, in.e, 1e-11) << in.e;
        EXPECT_NEAR(out.i, in.i, 1e-10) << in.e;
        EXPECT_NEAR(angleDiff(out.theta, in.theta), 0.0, 1e-9) << in.e;
        EXPECT_NEAR(angleDiff(out.omegab, in.omegab), 0.0, 1e-9) << in.e;
        EXPECT_NEAR(angleDiff(out.L, in.L), 0.0, 1e-9) << in.e;
        const StateVectors back = stateFromElements(out, kMu, 0.0);
        EXPECT_LT(relVec(back.pos, s.pos), 1e-12) << in.e;
        EXPECT_LT(relVec(back.vel, s.vel), 1e-12) << in.e;
    }
}

TEST(Propagation, ConservesEnergyAndMomentumAndRepeatsAfterPeriod) {
    const ELEMENTS el{2.0e7, 0.7, 1.1, 0.8, 2.3, 4.0};
    const double T = kTwoPi * std::sqrt(el.a * el.a * el.a / kMu);
    const StateVectors s0 = stateFromElements(el, kMu, 0.0);
    const VECTOR3 h0 = crossp(s0.pos, s0.vel);
    for (int k = 1; k <= 16; ++k) {
        const StateVectors s = stateFromElements(el, kMu, T * k / 16.0);
        const double r = length(s.pos), v = length(s.vel);
        EXPECT_LT(rel(v * v, kMu * (2.0 / r - 1.0 / el.a)), 1e-12) << k;  // vis-viva
        EXPECT_LT(relVec(crossp(s.pos, s.vel), h0), 1e-12) << k;
    }
    const StateVectors sT = stateFromElements(el, kMu, T);
    EXPECT_LT(relVec(sT.pos, s0.pos), 1e-9);
    EXPECT_LT(relVec(sT.vel, s0.vel), 1e-9);

    // Vis-viva on a hyperbola too, where 1/a < 0 adds to the speed.
    const ELEMENTS hyp{-1.5e7, 1.4, 0.3, 0.2, 0.9, 0.9 + 2.0};
    for (double dt : {-3.0e4, 0.0, 5.0e4}) {
        const StateVectors s = stateFromElements(hyp, kMu, dt);
        const double r = length(s.pos), v = length(s.vel);
        EXPECT_LT(rel(v * v, kMu * (2.0 / r - 1.0 / hyp.a)), 1e-12) << dt;
    }
}

TEST(OpenOrbits, HyperbolaConventionsAndTimeToPeriapsis) {
    const double e = 1.5, rp = 7.0e6, p = rp * (1 + e), A = p / (e * e - 1), n = std::sqrt(kMu / (A * A * A));
    for (double nu : {-1.0, 1.0}) {
        const StateVectors s = conicState(p, e, nu);
        ELEMENTS el{};
        ORBITPARAM prm{};
        ASSERT_TRUE(elementsFromState(s.pos, s.vel, kMu, el, &prm));
        const double energy = dotp(s.vel, s.vel) / 2 - kMu / length(s.pos);
        EXPECT_LT(rel(el.a, -kMu / (2 * energy)), 1e-12);
        EXPECT_TRUE(std::isinf(prm.T) && prm.T > 0);
        EXPECT_TRUE(std::isinf(prm.ApD) && prm.ApD > 0);
        EXPECT_TRUE(std::isnan(prm.ApT));
        const double H = 2.0 * std::atanh(std::sqrt((e - 1) / (e + 1)) * std::tan(nu / 2));
        EXPECT_LT(rel(prm.PeT, -(e * std::sinh(H) - H) / n), 1e-9) << nu;  // > 0 before, < 0 after
        // Propagating by PeT lands on the periapsis.
        EXPECT_LT(rel(length(stateFromElements(el, kMu, prm.PeT).pos), rp), 1e-9) << nu;
    }
}

TEST(OpenOrbits, TimeToPeriapsisIsContinuousThroughTheParabola) {
    // Barker: t = 0.5*sqrt(p^3/mu)*(D + D^3/3), D = tan(nu/2). At the same p and
    // nu, orbits with e = 1 -+ 1e-9 differ from the parabola in relative terms
    // of order 1e-9, so 1e-7 leaves room while catching any cancellation.
    const double p = 1.4e7, nu = -1.0, D = std::tan(nu / 2);
    const double barker = -0.5 * std::sqrt(p * p * p / kMu) * (D + D * D * D / 3);
    for (double e : {1.0 - 1e-9, 1.0, 1.0 + 1e-9}) {
        const StateVectors s = conicState(p, e, nu);
        ELEMENTS el{};
        ORBITPARAM prm{};
        ASSERT_TRUE(elementsFromState(s.pos, s.vel, kMu, el, &prm));
        EXPECT_LT(rel(prm.PeT, barker), 1e-7) << e - 1.0;
        EXPECT_LT(rel(prm.PeD, p / 2), 1e-8) << e - 1.0;
    }
}

TEST(ElementsFromState, RejectsDegenerateInputAndLeavesOutputsAlone) {
    const VECTOR3 r = vec3(7e6, 0, 0), v = vec3(0, 7.5e3, 0), zero = vec3(0, 0, 0);
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Case {
        VECTOR3 r, v;
        double mu;
    } const cases[] = {{zero, v, kMu},          {r, zero, kMu},          {vec3(nan, 0, 0), v, kMu},
                       {r, vec3(0, inf, 0), kMu}, {r, v, 0.0},            {r, v, -kMu},
                       {r, v, nan},             {r, vec3(-3e3, 0, 0), kMu}};  // last: radial fall
    for (const Case& c : cases) {
        ELEMENTS el{1, 2, 3, 4, 5, 6}, el0 = el;
        ORBITPARAM prm{}, prm0{};
        prm.T = prm0.T = 42.0;
        EXPECT_FALSE(elementsFromState(c.r, c.v, c.mu, el, &prm));
        EXPECT_EQ(std::memcmp(&el, &el0, sizeof el), 0);
        EXPECT_EQ(std::memcmp(&prm, &prm0, sizeof prm), 0);
    }
}

}  // namespace
