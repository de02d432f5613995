// Nonspherical gravity: the published coefficients, the harmonics' pull
// against the gradient of their potential, the poles against the bodies'
// known tilts, and J2's secular rates on a low orbit against the closed forms.
#include <cmath>
#include <numbers>
#include <string>

#include "host/physics/kepler.h"
#include "host/physics/zonal_gravity.h"
#include "tests/support/world_fixture.h"

namespace {

using simhost::kDegree;

double angleBetween(const VECTOR3& a, const VECTOR3& b) { return std::acos(dotp(a, b) / (length(a) * length(b))); }

// The fields go with the built-in bodies by name in any letter case and
// their exact GM (physical_constants_test pins the coefficients).
TEST(ZonalField, BuiltInFieldsGoWithTheBuiltInBodies) {
    const simhost::ZonalField* earth = simhost::builtInZonalField("EARTH", simhost::kGmEarth);
    ASSERT_NE(earth, nullptr);
    EXPECT_EQ(earth->radius, 6378136.3);
    const simhost::ZonalField* moon = simhost::builtInZonalField("Moon", simhost::kGmMoon);
    const simhost::ZonalField* mars = simhost::builtInZonalField("mars", simhost::kGmMars);
    ASSERT_TRUE(moon && mars);
    EXPECT_EQ(moon->radius, 1738.0e3);
    EXPECT_EQ(mars->radius, 3396.0e3);
    EXPECT_EQ(simhost::builtInZonalField("Earth", 4.0e14), nullptr);  // another body of that name
    EXPECT_EQ(simhost::builtInZonalField("Venus", simhost::kGmVenus), nullptr);
}

// The pull against a central-difference gradient, in long double, of the
// potential -GM/r sum_n Jn (R/r)^n Pn(sin(latitude)) written out term by term.
TEST(ZonalField, PullIsTheGradientOfThePotential) {
    const simhost::ZonalField& field = *simhost::builtInZonalField("Earth", simhost::kGmEarth);
    using Real = long double;
    const VECTOR3 pole = field.pole(60000.0);
    auto potential = [&](Real x, Real y, Real z) {
        const Real r = std::sqrt(x * x + y * y + z * z), s = (x * pole.x + y * pole.y + z * pole.z) / r;
        const Real q = field.radius / r;
        const Real p2 = (3 * s * s - 1) / 2, p3 = (5 * s * s * s - 3 * s) / 2;
        const Real p4 = (35 * s * s * s * s - 30 * s * s + 3) / 8;
        return -simhost::kGmEarth / r *
               (field.j[2] * q * q * p2 + field.j[3] * q * q * q * p3 + field.j[4] * q * q * q * q * p4);
    };
    constexpr Real h = 0.5;  // m
    constexpr double kRelativeTolerance = 1e-9;
    for (const VECTOR3& r : {vec3(6.9e6, 1.0e5, 3.0e5), vec3(-2.0e6, 3.0e6, 5.8e6), vec3(1.0e6, -7.5e6, -4.0e6)}) {
        const VECTOR3 expected{
            static_cast<double>((potential(r.x + h, r.y, r.z) - potential(r.x - h, r.y, r.z)) / (2 * h)),
            static_cast<double>((potential(r.x, r.y + h, r.z) - potential(r.x, r.y - h, r.z)) / (2 * h)),
            static_cast<double>((potential(r.x, r.y, r.z + h) - potential(r.x, r.y, r.z - h)) / (2 * h))};
        const VECTOR3 pull = simhost::zonalAcceleration(field, simhost::kGmEarth, pole, r);
        EXPECT_LT(length(pull - expected), kRelativeTolerance * length(expected));
    }
}

// Earth's pole at J2000 is the ecliptic's tilted by the obliquity towards +y
// (away from the Sun at the June solstice); the Moon's equator keeps 1.543 degrees from
// the ecliptic (Cassini's laws), within its monthly libration of 0.03
// degrees; Mars's axis is tilted 25.19 degrees from the
// normal of its orbit (i 1.850, node 49.56 degrees).
TEST(ZonalField, PolesHaveTheBodiesKnownTilts) {
    const double obliquity = 23.4392794 * kDegree;
    const VECTOR3 earth = simhost::builtInZonalField("Earth", simhost::kGmEarth)->pole(simhost::kJ2000Mjd);
    EXPECT_LT(length(earth - vec3(0, std::sin(obliquity), std::cos(obliquity))), 1e-9);
    constexpr double kTiltTolerance = 0.02 * kDegree, kLibration = 0.04 * kDegree;
    const auto moonPole = simhost::builtInZonalField("Moon", simhost::kGmMoon)->pole;
    for (double mjd : {51544.5, 53000.0, 56000.0, 60000.0})
        EXPECT_NEAR(angleBetween(moonPole(mjd), vec3(0, 0, 1)), 1.543 * kDegree, kLibration) << mjd;
    const double i = 1.850 * kDegree, node = 49.56 * kDegree;
    const VECTOR3 marsOrbitNormal = vec3(std::sin(i) * std::sin(node), -std::sin(i) * std::cos(node), std::cos(i));
    const VECTOR3 mars = simhost::builtInZonalField("Mars", simhost::kGmMars)->pole(simhost::kJ2000Mjd);
    EXPECT_NEAR(angleBetween(mars, marsOrbitNormal), 25.19 * kDegree, kTiltTolerance);
}

// Earth alone with J2 only and its pole on the ecliptic's, so that the
// ecliptic elements are equatorial ones.
VECTOR3 eclipticPole(double) { return vec3(0, 0, 1); }
const simhost::ZonalField kJ2Only{6378136.3, {0, 0, 1.0826261738522226e-3, 0, 0}, eclipticPole};

class J2Orbit : public EarthOnlyWorldTest {};

// A day on a = 7000 km, e = 0.05, i = 40 degrees: the node's regression and
// the periapsis's advance, measured between the means over the first and the
// last orbit (which the short-period terms leave), against the secular rates
// -3/2 n J2 (R/p)^2 cos i and 3/4 n J2 (R/p)^2 (5 cos^2 i - 1).
TEST_F(J2Orbit, NodeAndPeriapsisTurnAtTheSecularRates) {
    w().setNonsphericalGravity(true);
    w().setZonalField(0, &kJ2Only);
    simhost::Vessel* craft = w().addVessel("Craft");
    const double a = 7.0e6, e = 0.05, i = 40.0 * kDegree;
    const ELEMENTS start{a, e, i, 30.0 * kDegree, 80.0 * kDegree, 0.0};
    const simhost::StateVectors s0 = simhost::stateFromElements(start, simhost::kGmEarth, 0.0);
    craft->pos = s0.pos;
    craft->vel = s0.vel;
    const double period = 2 * std::numbers::pi * std::sqrt(a * a * a / simhost::kGmEarth);
    const int perOrbit = static_cast<int>(period), orbits = 15;
    // Node and argument of periapsis (unwrapped, rad), a and e, each summed over an orbit.
    struct Sums {
        double node = 0, periapsis = 0, a = 0, e = 0;
    };
    Sums first, last;
    double lastNode = start.theta, lastPeriapsis = start.omegab - start.theta, turnsNode = 0, turnsPeriapsis = 0;
    auto unwrap = [](double angle, double& previous, double& turns) {
        const double twoPi = 2 * std::numbers::pi;
        if (angle - previous > std::numbers::pi) turns -= twoPi;
        if (angle - previous < -std::numbers::pi) turns += twoPi;
        previous = angle;
        return angle + turns;
    };
    for (int k = 0; k < orbits * perOrbit; ++k) {
        w().step(1.0);
        ELEMENTS el{};
        ASSERT_TRUE(craft->vesselInterface().GetElements(&earth(), el, nullptr));
        const double node = unwrap(el.theta, lastNode, turnsNode);
        const double periapsis = unwrap(std::remainder(el.omegab - el.theta, 2 * std::numbers::pi), lastPeriapsis,
                                        turnsPeriapsis);
        Sums* sums = k < perOrbit ? &first : k >= (orbits - 1) * perOrbit ? &last : nullptr;
        if (sums) *sums = Sums{sums->node + node, sums->periapsis + periapsis, sums->a + el.a, sums->e + el.e};
    }
    const double span = (orbits - 1) * perOrbit;  // s between the two means
    const double meanA = first.a / perOrbit, meanE = first.e / perOrbit;
    const double n = std::sqrt(simhost::kGmEarth / (meanA * meanA * meanA));
    const double p = meanA * (1 - meanE * meanE), k = n * kJ2Only.j[2] * std::pow(kJ2Only.radius / p, 2);
    const double nodeRate = -1.5 * k * std::cos(i), periapsisRate = 0.75 * k * (5 * std::cos(i) * std::cos(i) - 1);
    constexpr double kShare = 0.01;
    const double measuredNode = (last.node - first.node) / perOrbit / span;
    const double measuredPeriapsis = (last.periapsis - first.periapsis) / perOrbit / span;
    EXPECT_NEAR(measuredNode, nodeRate, kShare * std::abs(nodeRate));
    EXPECT_NEAR(measuredPeriapsis, periapsisRate, kShare * std::abs(periapsisRate));
    RecordProperty("node_rate_ratio", std::to_string(measuredNode / nodeRate));
    RecordProperty("periapsis_rate_ratio", std::to_string(measuredPeriapsis / periapsisRate));
}

}  // namespace
