// Vessels coasting under the bodies' gravity, against closed-form orbits.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "tests/host/world_fixture.h"

namespace {

constexpr double kEarthGm = 3.986004418e14;  // m^3/s^2

class EarthAlone : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        w().reset();
        w().addBody("Earth", kEarthGm, 6.371e6, nullptr, ELEMENTS{}, 51544.5);
        craft = w().addVessel("Craft");
    }
    simhost::Vessel* craft = nullptr;
};

TEST_F(EarthAlone, CircularOrbitKeepsItsRadiusToAMetreForADay) {
    const double r0 = 6.771e6, v0 = std::sqrt(kEarthGm / r0);
    craft->pos = vec3(r0, 0, 0);
    craft->vel = vec3(0, v0 * std::cos(0.9), v0 * std::sin(0.9));
    double drift = 0.0;
    for (int i = 0; i < 86400; ++i) {
        w().step(1.0);
        drift = std::max(drift, std::abs(length(craft->pos) - r0));
    }
    EXPECT_EQ(length(earth().state.pos), 0.0);  // no parent: fixed at the origin
    EXPECT_LT(drift, 1.0);
}

TEST_F(EarthAlone, EllipseKeepsItsPeriodAndApoapsis) {
    const double a = 1.0e7, e = 0.3;  // started at periapsis
    craft->pos = vec3(a * (1 - e), 0, 0);
    craft->vel = vec3(0, std::sqrt(kEarthGm * (1 + e) / (a * (1 - e))), 0);
    const double period = 2 * std::numbers::pi * std::sqrt(a * a * a / kEarthGm);
    for (int i = 0; i < 3 * static_cast<int>(period); ++i) w().step(1.0);
    ELEMENTS el{};
    ORBITPARAM prm{};
    ASSERT_TRUE(craft->vesselInterface().GetElements(&earth(), el, &prm));
    EXPECT_NEAR(prm.T, period, 1e-3);
    EXPECT_NEAR(prm.ApD, a * (1 + e), 1e-2);
}

// At rest 1e4 km above the Moon, the first second of fall follows the pull of
// all bodies summed (Sun and Earth add about a tenth to the Moon's).
TEST_F(WorldTest, VesselsFallUnderEveryBodyAtOnce) {
    const simhost::Body& moon = *w().findBody("Moon");
    simhost::Vessel* probe = w().addVessel("Probe");
    probe->pos = moon.state.pos + vec3(0, 0, 1e7);
    probe->vel = moon.state.vel;
    VECTOR3 pull{0, 0, 0};
    for (const auto& body : w().bodies()) {
        const VECTOR3 d = body->state.pos - probe->pos;
        pull = pull + d * (body->gm / std::pow(length(d), 3));
    }
    const VECTOR3 v0 = probe->vel;
    w().step(1.0);
    EXPECT_LT(length(probe->vel - v0 - pull), 1e-6 * length(pull));
}

}  // namespace
