// Vessel geometry against independent values: rotations built from the angle
// convention by multiplying the elementary rotations, and closed-form orbits.
#include <array>
#include <cmath>
#include <limits>

#include "tests/support/world_fixture.h"
#include "tests/support/reference_rotation.h"

namespace {

using reference::column;
using reference::expectNear;
using reference::Matrix;
using reference::multiply;
using reference::rx;
using reference::ry;
using reference::rz;
constexpr double kPi = 3.14159265358979323846;

const VECTOR3 kUnitAxes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
const VECTOR3 kAngleSets[] = {{0, 0, 0}, {0.3, -0.2, 1.1}, {-2.5, 1.2, -0.4}, {3.0, -1.5, 2.9}, {0, 0, kPi / 2}};

class VesselGeometry : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        tug = w().addVessel("Tug");
        vessel = &tug->vesselInterface();
    }
    simhost::Vessel* tug = nullptr;
    VESSEL* vessel = nullptr;
};

TEST_F(VesselGeometry, OrientationAnglesGiveTheConventionsColumns) {
    tug->pos = vec3(1.0e3, -2.0e3, 5.0e2);
    for (const VECTOR3& angles : kAngleSets) {
        const Matrix r = multiply(rx(-angles.x), multiply(ry(-angles.y), rz(-angles.z)));
        vessel->SetGlobalOrientation(angles);
        for (int j = 0; j < 3; ++j) {
            VECTOR3 direction{}, point{};
            vessel->GlobalRot(kUnitAxes[j], direction);
            vessel->Local2Global(kUnitAxes[j], point);
            expectNear(direction, column(r, j), 1e-15);
            expectNear(point, column(r, j) + tug->pos, 1e-12);
        }
        VECTOR3 back{};
        vessel->GetGlobalOrientation(back);
        expectNear(back, angles, 1e-12);
    }
}

// The inverse that a module uses to point the vessel's axes along given
// directions must turn the vessel exactly there.
TEST_F(VesselGeometry, AnglesFromWantedAxesPointTheAxesThere) {
    const VECTOR3 f = unit(vec3(0.3, -0.8, 0.5));
    const VECTOR3 s = unit(crossp(f, vec3(0.1, 0.2, -0.9)));
    const VECTOR3 u = crossp(s, f);
    const VECTOR3 angles = vec3(std::atan2(f.y, f.z), -std::asin(f.x), kPi / 2 - std::atan2(u.x, s.x));
    vessel->SetGlobalOrientation(angles);
    VECTOR3 axis{};
    for (int j = 0; j < 3; ++j) {
        vessel->GlobalRot(kUnitAxes[j], axis);
        expectNear(axis, j == 0 ? u : j == 1 ? s : f, 1e-14);
    }
}

TEST_F(VesselGeometry, GlobalToLocalInvertsLocalToGlobal) {
    tug->pos = earth().state.pos + vec3(7.0e6, 0, 0);  // ~1.5e11 m from the origin
    vessel->SetGlobalOrientation(vec3(0.4, -0.9, 2.2));
    for (const VECTOR3& local : {vec3(1, 0, 0), vec3(-3.5, 12.0, 0.25), vec3(100, -50, 75)}) {
        VECTOR3 global{}, back{};
        vessel->Local2Global(local, global);
        vessel->Global2Local(global, back);
        // Limited by the position's magnitude times the double's precision.
        expectNear(back, local, 1e-4);
    }
}

TEST_F(VesselGeometry, RelativeStateIsTheDifferenceToTheBody) {
    tug->pos = earth().state.pos + vec3(7.0e6, -1.0e6, 2.0e5);
    tug->vel = earth().state.vel + vec3(10.0, 7500.0, -20.0);
    VECTOR3 r{}, v{};
    vessel->GetRelativePos(oapiGetGbodyByName("Earth"), r);
    vessel->GetRelativeVel(oapiGetGbodyByName("Earth"), v);
    expectNear(r, vec3(7.0e6, -1.0e6, 2.0e5), 1e-4);
    expectNear(v, vec3(10.0, 7500.0, -20.0), 1e-9);
    int notAnObject = 0;
    vessel->GetRelativePos(&notAnObject, r);
    EXPECT_TRUE(std::isnan(r.x) && std::isnan(r.y) && std::isnan(r.z));
}

// Orbits about a body fixed at the origin, so state vectors are exact.
class VesselElements : public VesselGeometry {
protected:
    void addBodies() override {
        planet = w().addBody("Planet", kMu, simhost::kRadiusEarth, nullptr, ELEMENTS{}, simhost::kJ2000Mjd);
    }
    static constexpr double kMu = simhost::kGmEarth;
    static constexpr double kRelativeTolerance = 1e-9;       // of a period, time or length
    static constexpr double kEccentricityTolerance = 1e-12;
    simhost::Body* planet = nullptr;
};

TEST_F(VesselElements, CircularOrbitPeriodAndTimeToPeriapsis) {
    const double radius = 7.0e6, angle = 0.7;
    const double speed = std::sqrt(kMu / radius);
    tug->pos = radius * vec3(std::cos(angle), std::sin(angle), 0);
    tug->vel = speed * vec3(-std::sin(angle), std::cos(angle), 0);
    ELEMENTS el{};
    ORBITPARAM prm{};
    ASSERT_TRUE(vessel->GetElements(planet, el, &prm, 0.0, FRAME_ECL));
    const double period = 2 * kPi * std::sqrt(radius * radius * radius / kMu);
    EXPECT_NEAR(prm.T / period, 1.0, kRelativeTolerance);
    // Periapsis of an equatorial circle sits on the reference direction.
    EXPECT_NEAR(prm.PeT / ((2 * kPi - angle) / (2 * kPi) * period), 1.0, kRelativeTolerance);
    EXPECT_NEAR(el.a / radius, 1.0, kRelativeTolerance);
    EXPECT_EQ(el.e, 0.0);
}

TEST_F(VesselElements, EccentricOrbitTimeToPeriapsisBeforeAndAfterPassage) {
    const double a = 1.0e7, e = 0.3, p = a * (1 - e * e);
    const double period = 2 * kPi * std::sqrt(a * a * a / kMu);
    for (const double trueAnomaly : {-0.5, 0.5, 2.0, -2.8}) {
        const double r = p / (1 + e * std::cos(trueAnomaly));
        tug->pos = r * vec3(std::cos(trueAnomaly), std::sin(trueAnomaly), 0);
        tug->vel = std::sqrt(kMu / p) * vec3(-std::sin(trueAnomaly), e + std::cos(trueAnomaly), 0);
        const double eccentricAnomaly = 2 * std::atan(std::sqrt((1 - e) / (1 + e)) * std::tan(trueAnomaly / 2));
        double meanAnomaly = eccentricAnomaly - e * std::sin(eccentricAnomaly);
        if (meanAnomaly < 0) meanAnomaly += 2 * kPi;
        const double expected = (2 * kPi - meanAnomaly) / (2 * kPi) * period;

        ELEMENTS el{};
        ORBITPARAM prm{};
        ASSERT_TRUE(vessel->GetElements(planet, el, &prm, 0.0, FRAME_ECL));
        EXPECT_NEAR(prm.T / period, 1.0, kRelativeTolerance);
        EXPECT_NEAR(prm.PeT / expected, 1.0, kRelativeTolerance) << "true anomaly " << trueAnomaly;
        EXPECT_NEAR(el.e, e, kEccentricityTolerance);
    }
}

TEST_F(VesselElements, RefusesWhatItCannotServe) {
    tug->pos = vec3(7.0e6, 0, 0);
    tug->vel = vec3(0, 7.5e3, 0);
    ELEMENTS el{};
    ORBITPARAM prm{};
    EXPECT_FALSE(vessel->GetElements(planet, el, &prm, 0.0, FRAME_EQU));
    EXPECT_FALSE(vessel->GetElements(nullptr, el, &prm, 0.0, FRAME_ECL));
    EXPECT_FALSE(vessel->GetElements(tug, el, &prm, 0.0, FRAME_ECL));  // a vessel has no gravity here
    EXPECT_TRUE(vessel->GetElements(planet, el, nullptr, 0.0, FRAME_ECL));
}

}  // namespace
