// The attitude hold: the angle conversion, the capture and the hold over real
// orbital motion, the host calls it makes and its refusals on bad geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "automation/attitude_hold.h"
#include "tests/support/module_test.h"
#include "tests/support/reference_rotation.h"

namespace {

constexpr double kEarthRadius = 6.371e6;  // m

using reference::column;
using reference::expectNear;
using reference::fromAngles;
using reference::Matrix;

void expectSameAttitude(const simhost::Vessel& vessel, const simhost::Mat3& expected, double tolerance) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(vessel.rot.m[i][j], expected.m[i][j], tolerance) << i << "," << j;
}

TEST(EulerFromAxes, GivesTheStatedAnglesForTheGlobalAxesAndAQuarterTurn) {
    const VECTOR3 identity = eulerFromAxes(vec3(1, 0, 0), vec3(0, 1, 0), vec3(0, 0, 1));
    EXPECT_EQ(identity.x, 0.0);
    EXPECT_EQ(identity.y, 0.0);
    EXPECT_TRUE(std::signbit(identity.y));  // -asin(0)
    EXPECT_EQ(identity.z, 1.570796326794895 - std::numbers::pi / 2);
    EXPECT_NEAR(identity.z, -1.55e-15, 0.01e-15);

    const VECTOR3 quarter = eulerFromAxes(vec3(0, 1, 0), vec3(-1, 0, 0), vec3(0, 0, 1));
    EXPECT_EQ(quarter.x, 0.0);
    EXPECT_TRUE(std::signbit(quarter.y));
    EXPECT_EQ(quarter.z, 1.570796326794895 - std::numbers::pi);
    EXPECT_DOUBLE_EQ(quarter.z, -1.5707963267948981);
}

TEST(EulerFromAxes, InvertsTheHostAngleConventionOverManyAttitudes) {
    for (double alpha = -3.0; alpha <= 3.0; alpha += 0.7)
        for (double beta = -1.5; beta <= 1.5; beta += 0.5)
            for (double gamma = -1.5; gamma <= 4.5; gamma += 0.9) {
                const Matrix r = fromAngles(alpha, beta, gamma);
                const VECTOR3 angles = eulerFromAxes(column(r, 0), column(r, 1), column(r, 2));
                const Matrix back = fromAngles(angles.x, angles.y, angles.z);
                for (int c = 0; c < 3; ++c) expectNear(column(back, c), column(r, c), 1e-12);
            }
}

TEST(EulerFromAxes, ToleratesAUnitComponentRoundedPastOne) {
    const double justOver = std::nextafter(1.0, 2.0);
    const VECTOR3 angles = eulerFromAxes(vec3(0, 0, -1), vec3(0, 1, 0), vec3(justOver, 0, 0));
    EXPECT_DOUBLE_EQ(angles.y, -std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(eulerFromAxes(vec3(0, 0, 1), vec3(0, 1, 0), vec3(-justOver, 0, 0)).y, std::numbers::pi / 2);
}

class AttitudeHold : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        // Earth alone at the origin: the hold works on points one metre from the
        // vessel, so its rounding scales with the vessel's distance from the
        // origin; here that is ~7e6 m, giving errors of ~1e-9.
        w().reset();
        w().addBody("Earth", 3.986004418e14, kEarthRadius, nullptr, ELEMENTS{}, 51544.5);
        vessel = &addVessel("Hold Test", 1000.0);
        placeOnOrbit(*vessel, earth(), kEarthRadius + 300e3, kEarthRadius + 900e3, 0.7);
        control("Hold Test", "Earth");
    }

    // Period of the vessel's orbit (s), from its semi-major axis.
    double period() {
        const double a = (2 * kEarthRadius + 1200e3) / 2;
        return 2 * std::numbers::pi * std::sqrt(a * a * a / earth().gm);
    }

    void turnVessel(double alpha, double beta, double gamma) {
        vessel->rot = simhost::rotationFromAngles(vec3(alpha, beta, gamma));
    }

    // Global directions of the orbit-aligned frame: away from Earth (normal to
    // the motion), opposite to the orbit normal, and along the motion.
    VECTOR3 alongMotion() { return unit(vessel->vel - earth().state.vel); }

    simhost::Vessel* vessel = nullptr;
};

TEST_F(AttitudeHold, CaptureLeavesTheStartAttitudeWithoutRotation) {
    turnVessel(0.4, -0.9, 2.2);
    vessel->angVel = vec3(0.1, -0.2, 0.3);
    const simhost::Mat3 before = vessel->rot;
    updateAttitudeHold();
    EXPECT_EQ(pluginState.holdFrameCaptured, 1);
    expectSameAttitude(*vessel, before, 1e-8);
    expectNear(vessel->angVel, vec3(0, 0, 0), 0.0);
}

TEST_F(AttitudeHold, AVesselInTheOrbitFrameHasNoOffsetsAndStaysInIt) {
    const VECTOR3 r = vessel->pos - earth().state.pos;
    const VECTOR3 forward = alongMotion();
    const VECTOR3 side = unit(crossp(forward, unit(r)));
    vessel->rot = simhost::rotationFromAngles(eulerFromAxes(crossp(side, forward), side, forward));
    updateAttitudeHold();
    expectNear(pluginState.holdLocalOffsetX, vec3(0, 0, 0), 1e-8);
    expectNear(pluginState.holdLocalOffsetY, vec3(0, 0, 0), 1e-8);
    expectNear(pluginState.holdLocalOffsetZ, vec3(0, 0, 0), 1e-8);
}

// The hold over real motion: each step the host's autopilot-free vessel keeps
// its attitude fixed in space, so only the hold can turn it with the orbit.
TEST_F(AttitudeHold, ANoseAlongTheMotionStaysAlongItAfterAQuarterOrbit) {
    const VECTOR3 startMotion = alongMotion();
    const VECTOR3 r = vessel->pos - earth().state.pos;
    // Nose along the motion, rolled arbitrarily about it.
    const VECTOR3 across = unit(crossp(startMotion, r));
    vessel->rot = simhost::rotationFromAngles(eulerFromAxes(crossp(across, startMotion), across, startMotion));
    pluginState.attitudeHold = 1;

    // Time from true anomaly 0.7 until the velocity has turned by a quarter turn.
    double turned = 0.0;
    int steps = 0;
    while (turned < std::numbers::pi / 2 && steps < period()) {
        updateAttitudeHold();
        w().step(1.0);
        turned = std::acos(std::clamp(dotp(alongMotion(), startMotion), -1.0, 1.0));
        ++steps;
    }
    ASSERT_GE(turned, std::numbers::pi / 2) << "the orbit did not turn the velocity";
    updateAttitudeHold();
    const VECTOR3 nose = localAxis(*vessel, 2);
    EXPECT_NEAR(dotp(nose, alongMotion()), 1.0, 1e-12);
    // The roll about the motion is kept too: local y stays opposite to the orbit normal.
    const VECTOR3 normal = unit(crossp(vessel->pos - earth().state.pos, vessel->vel - earth().state.vel));
    EXPECT_NEAR(dotp(localAxis(*vessel, 1), normal), -1.0, 1e-9);
}

TEST_F(AttitudeHold, SwitchesEveryNavigationModeOffOnEveryStep) {
    for (int round = 0; round < 3; ++round) {
        for (int mode = 1; mode <= 7; ++mode) vessel->setNavmode(mode, true);
        updateAttitudeHold();
        for (int mode = 1; mode <= 7; ++mode) EXPECT_FALSE(vessel->navmode(mode)) << "mode " << mode;
        w().step(1.0);
    }
}

TEST_F(AttitudeHold, MakesTheHostCallsInOrderAndTransformsOnlyWhenCapturing) {
    const std::vector<std::string> common = {
        "oapiGetVesselByName", "oapiGetVesselInterface", "DeactivateNavmode", "DeactivateNavmode",
        "DeactivateNavmode",   "DeactivateNavmode",      "DeactivateNavmode", "DeactivateNavmode",
        "DeactivateNavmode",   "Local2Global",           "Local2Global",      "Local2Global",
        "GetRelativePos",      "GetGlobalPos",           "GetRelativeVel",    "SetGlobalOrientation",
        "SetAngularVel",       "Local2Global",           "Local2Global",      "Local2Global"};
    const std::vector<std::string> finish = {"GlobalRot", "GlobalRot", "GlobalRot", "SetGlobalOrientation"};

    startTrace();
    updateAttitudeHold();
    std::vector<std::string> capture = common;
    capture.insert(capture.end(), {"Global2Local", "Global2Local", "Global2Local"});
    capture.insert(capture.end(), finish.begin(), finish.end());
    EXPECT_EQ(tracedCalls(), capture);
    EXPECT_EQ(simhost::traceEntries()[2], "DeactivateNavmode(1)");
    EXPECT_EQ(simhost::traceEntries()[8], "DeactivateNavmode(7)");
    EXPECT_EQ(simhost::traceEntries()[12], "GetRelativePos(Earth)");

    startTrace();
    updateAttitudeHold();
    std::vector<std::string> held = common;
    held.insert(held.end(), finish.begin(), finish.end());
    EXPECT_EQ(tracedCalls(), held);
}

TEST_F(AttitudeHold, RecapturesAfterTheFlagIsCleared) {
    turnVessel(0.3, 0.2, 0.1);
    updateAttitudeHold();
    turnVessel(-1.0, 0.5, 1.5);
    const simhost::Mat3 second = vessel->rot;
    updateAttitudeHold();  // still holds the first attitude
    EXPECT_GT(std::abs(vessel->rot.m[0][0] - second.m[0][0]), 0.1);
    turnVessel(-1.0, 0.5, 1.5);
    pluginState.holdFrameCaptured = 0;
    updateAttitudeHold();
    expectSameAttitude(*vessel, second, 1e-8);
}

// Geometry without an orbit frame: the autopilots still go off, the attitude
// and rotation stay as they were and nothing is captured.
TEST_F(AttitudeHold, LeavesTheAttitudeAloneWhenTheOrbitFrameHasNoDirection) {
    const VECTOR3 centre = earth().state.pos;
    const VECTOR3 bodyVel = earth().state.vel;
    struct Case {
        const char* what;
        VECTOR3 pos, vel;
    };
    const Case cases[] = {
        {"at the body's centre", centre, bodyVel + vec3(0, 7000, 0)},
        {"at rest relative to the body", centre + vec3(7e6, 0, 0), bodyVel},
        {"moving straight outwards", centre + vec3(7e6, 0, 0), bodyVel + vec3(3000, 0, 0)},
        {"moving straight inwards", centre + vec3(0, 7e6, 0), bodyVel + vec3(0, -3000, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vessel->pos = c.pos;
        vessel->vel = c.vel;
        turnVessel(0.5, 0.6, 0.7);
        const simhost::Mat3 before = vessel->rot;
        vessel->angVel = vec3(0.01, 0.02, 0.03);
        for (int mode = 1; mode <= 7; ++mode) vessel->setNavmode(mode, true);
        pluginState.holdFrameCaptured = 0;
        startTrace();
        updateAttitudeHold();
        for (int mode = 1; mode <= 7; ++mode) EXPECT_FALSE(vessel->navmode(mode));
        EXPECT_EQ(simhost::traceCount("SetGlobalOrientation"), 0);
        expectSameAttitude(*vessel, before, 0.0);
        expectNear(vessel->angVel, vec3(0.01, 0.02, 0.03), 0.0);
        EXPECT_EQ(pluginState.holdFrameCaptured, 0);
    }
}

}  // namespace
