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

// Axes built without the angle convention: the nose a3 at angle delta from
// sign*x, its direction about x given by azimuth, and a1 rolled by roll about
// it; a2 = a3 x a1 completes the right-handed set.
struct Axes {
    VECTOR3 a1, a2, a3;
};
Axes axesNearX(double sign, double delta, double azimuth, double roll) {
    const VECTOR3 a3 = vec3(sign * std::cos(delta), std::sin(delta) * std::cos(azimuth), std::sin(delta) * std::sin(azimuth));
    const VECTOR3 p = unit(crossp(vec3(0, 0, 1), a3));  // a3 is never near z here
    const VECTOR3 q = crossp(a3, p);
    const VECTOR3 a1 = p * std::cos(roll) + q * std::sin(roll);
    return Axes{a1, crossp(a3, a1), a3};
}

// The rotation that SetGlobalOrientation builds from the angles, as columns.
Axes axesOfAngles(const VECTOR3& angles) {
    const simhost::Mat3 r = simhost::rotationFromAngles(angles);
    return Axes{vec3(r.m[0][0], r.m[1][0], r.m[2][0]), vec3(r.m[0][1], r.m[1][1], r.m[2][1]),
                vec3(r.m[0][2], r.m[1][2], r.m[2][2])};
}

// Near the singularity (nose within 1e-3 of +-x in |a3.x|, about 2.6 degrees)
// the angles must still rebuild all three axes: to 1e-14 for exact axes, at
// 1e-3, 1e-6 and 1e-9 rad from the axis and exactly on it, with any roll.
TEST(EulerFromAxes, ReproducesTheAxesWithTheNoseNearTheXAxis) {
    for (const double sign : {1.0, -1.0})
        for (const double delta : {0.04, 1e-3, 1e-6, 1e-9, 0.0})
            for (const double azimuth : {0.0, 0.7, 2.9, -1.9})
                for (const double roll : {0.0, 0.3, 1.7, 3.1, -2.4}) {
                    SCOPED_TRACE(testing::Message() << "sign " << sign << ", delta " << delta << ", azimuth "
                                                    << azimuth << ", roll " << roll);
                    const Axes axes = axesNearX(sign, delta, azimuth, roll);
                    const Axes back = axesOfAngles(eulerFromAxes(axes.a1, axes.a2, axes.a3));
                    expectNear(back.a1, axes.a1, 1e-14);
                    expectNear(back.a2, axes.a2, 1e-14);
                    expectNear(back.a3, axes.a3, 1e-14);
                }
}

// Axes that carry rounding noise (as the hold's targets do, from points far
// from the origin): the rebuilt axes are off by the size of the noise, not by
// the noise divided by the nose's small distance from the axis.
TEST(EulerFromAxes, KeepsNoiseNearTheXAxisToItsOwnSize) {
    constexpr double kNoise = 1e-10;
    for (const double sign : {1.0, -1.0})
        for (const double delta : {1e-3, 1e-6, 1e-9})
            for (const double roll : {0.4, 2.6, -1.2}) {
                SCOPED_TRACE(testing::Message() << "sign " << sign << ", delta " << delta << ", roll " << roll);
                Axes axes = axesNearX(sign, delta, 1.1, roll);
                axes.a1.x += kNoise;
                axes.a2.x -= kNoise;
                axes.a3.y += kNoise;
                const Axes back = axesOfAngles(eulerFromAxes(axes.a1, axes.a2, axes.a3));
                expectNear(back.a1, axes.a1, 10 * kNoise);
                expectNear(back.a2, axes.a2, 10 * kNoise);
                expectNear(back.a3, axes.a3, 10 * kNoise);
            }
}

// The hold's target axes, made from points 1.5e11 m out, come out up to 1e-5
// off unit length and with a1 or a2 tilted towards a3 by 2e-5 rad. The angles
// keep the axes' directions with the nose 1, 3, 10 and 45 degrees from +-x, on
// both sides of the near-axis zone's edge: the nose exactly, the other two to
// the 1e-5 by which the length errors of a1 and a2 may turn the roll. The
// arcsine of a3.x would put 57x, 19x and 5.7x the length error into the pitch,
// and the x components of a1 and a2 as they come up to 19x the tilt into the roll.
TEST(EulerFromAxes, KeepsTheDirectionsOfAxesOffUnitLengthAndTilted) {
    constexpr double kLengthError = 1e-5, kTilt = 2e-5;
    constexpr double kDegree = std::numbers::pi / 180;
    for (const double sign : {1.0, -1.0})
        for (const double degrees : {1.0, 3.0, 10.0, 45.0})
            for (const double error : {kLengthError, -kLengthError})
                for (const double roll : {0.4, 2.6, -1.2}) {
                    SCOPED_TRACE(testing::Message() << "sign " << sign << ", " << degrees << " degrees, error "
                                                    << error << ", roll " << roll);
                    const Axes unitAxes = axesNearX(sign, degrees * kDegree, 1.1, roll);
                    const double tilt = error > 0 ? kTilt : -kTilt;
                    const VECTOR3 angles = eulerFromAxes(unitAxes.a1 * (1 + error) + unitAxes.a3 * tilt,
                                                         unitAxes.a2 * (1 - error) - unitAxes.a3 * tilt,
                                                         unitAxes.a3 * (1 + error));
                    const Axes back = axesOfAngles(angles);
                    expectNear(back.a1, unitAxes.a1, 1.01 * kLengthError);
                    expectNear(back.a2, unitAxes.a2, 1.01 * kLengthError);
                    expectNear(back.a3, unitAxes.a3, 1e-15);
                }
}

// Away from the singularity, up to the edge of the tolerance, alpha is
// atan2(a3.y, a3.z) to the two ulps of the inline arc tangent (1e-15 rad at
// pi); for unit perpendicular axes beta and gamma equal -asin(a3.x) and
// 1.570796326794895 - atan2(a1.x, a2.x) to rounding.
TEST(EulerFromAxes, AwayFromTheXAxisIsThePrescribedFormula) {
    std::vector<Axes> cases;
    for (const double sign : {1.0, -1.0})
        for (const double delta : {0.0448, 0.1, 0.7, 1.2, 1.5707963267948966})
            for (const double roll : {0.0, 0.9, -2.2}) cases.push_back(axesNearX(sign, delta, 0.8, roll));
    for (double alpha = -3.0; alpha <= 3.0; alpha += 0.7)
        for (double beta = -1.5; beta <= 1.5; beta += 0.5)
            for (double gamma = -1.5; gamma <= 4.5; gamma += 0.9) {
                const Matrix r = fromAngles(alpha, beta, gamma);
                cases.push_back(Axes{column(r, 0), column(r, 1), column(r, 2)});
            }
    cases.push_back(Axes{vec3(1, 0, 0), vec3(0, 1, 0), vec3(0, 0, 1)});
    // Just outside the tolerance: |a3.x| = 1 - 1.0001e-3.
    cases.push_back(Axes{vec3(0, 1, 0), vec3(std::sqrt(1 - 0.9989999 * 0.9989999), 0, -0.9989999),
                         vec3(0.9989999, 0, std::sqrt(1 - 0.9989999 * 0.9989999))});
    for (const Axes& a : cases) {
        ASSERT_LT(std::fabs(a.a3.x), 1.0 - 1e-3);
        const VECTOR3 angles = eulerFromAxes(a.a1, a.a2, a.a3);
        EXPECT_NEAR(angles.x, std::atan2(a.a3.y, a.a3.z), 1e-15);
        EXPECT_NEAR(angles.y, -std::asin(a.a3.x), 1e-14);
        EXPECT_NEAR(angles.z, 1.570796326794895 - std::atan2(a.a1.x, a.a2.x), 1e-14);
    }
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
        // Oblique radial motion: |f x unit(r)| comes out as rounding noise
        // (1.55e-17 for the first), not as zero.
        {"moving obliquely outwards", centre + vec3(7e6, 3e6, 1e6), bodyVel + vec3(7e6, 3e6, 1e6) * 1e-3},
        {"moving obliquely outwards, faster", centre + vec3(7e6, 3e6, 1e6), bodyVel + vec3(7e6, 3e6, 1e6) * 1.1e-3},
        {"moving obliquely inwards", centre + vec3(-2e6, 5e6, -6e6), bodyVel + vec3(-2e6, 5e6, -6e6) * -1.3e-3},
        // A sine of 1e-12 at 7,600 km: the guard compares the sine, not the
        // sine times the distance (7.6e-6 m, which would pass it).
        {"moving 1e-12 rad from straight outwards", centre + vec3(7.6e6, 0, 0), bodyVel + vec3(3000, 3e-9, 0)},
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

// A hold captured on an orbit keeps its reference through steps of radial
// motion (v = 1e-3 r, 1.1e-3 r, 1.3e-3 r): each leaves the attitude alone
// instead of turning the vessel onto a frame made of rounding noise.
TEST_F(AttitudeHold, StepsOfObliqueRadialMotionLeaveTheAttitudeAndTheReferenceAlone) {
    turnVessel(0.4, -0.9, 2.2);
    updateAttitudeHold();
    ASSERT_EQ(pluginState.holdFrameCaptured, 1);
    const VECTOR3 offsetX = pluginState.holdLocalOffsetX, offsetZ = pluginState.holdLocalOffsetZ;

    const VECTOR3 r = vec3(7e6, 3e6, 1e6);
    vessel->pos = earth().state.pos + r;
    const simhost::Mat3 before = vessel->rot;
    for (const double rate : {1e-3, 1.1e-3, 1.3e-3}) {
        SCOPED_TRACE(rate);
        vessel->vel = earth().state.vel + r * rate;
        startTrace();
        updateAttitudeHold();
        EXPECT_EQ(simhost::traceCount("SetGlobalOrientation"), 0);
        expectSameAttitude(*vessel, before, 0.0);
    }
    expectNear(pluginState.holdLocalOffsetX, offsetX, 0.0);
    expectNear(pluginState.holdLocalOffsetZ, offsetZ, 0.0);
    // A direction of motion 1e-6 rad from radial is far above the tolerance:
    // the frame is taken.
    vessel->vel = earth().state.vel + (unit(r) + unit(crossp(r, vec3(0, 0, 1))) * 1e-6) * 7000.0;
    startTrace();
    updateAttitudeHold();
    EXPECT_EQ(simhost::traceCount("SetGlobalOrientation"), 2);
}

// The hold across the angle convention's singularity in flight, as in the real
// host: Earth in its orbit, 1.5e11 m from the origin, so that the capture's
// points carry the rounding of such coordinates. On a circular orbit in the
// ecliptic the motion, and with it the held nose, sweeps through the global -x
// axis (within 7e-5 rad on a step). Every step keeps the nose along the motion
// and the roll (local y opposite to the orbit normal) to 1e-8 rad, as far from
// the axis; the prescribed formulas alone turn the rounding, divided by the
// nose's distance from the axis, into a roll of 8e-7 rad here.
TEST_F(AttitudeHold, HoldsTheAttitudeWhileTheNoseSweepsThroughTheXAxis) {
    w().reset();
    w().addBuiltInBodies();
    vessel = &addVessel("Hold Test", 1000.0);
    control("Hold Test", "Earth");
    ASSERT_GT(length(earth().state.pos), 1e11);
    const double radius = kEarthRadius + 500e3;
    placeOnOrbit(*vessel, earth(), radius, radius, std::numbers::pi / 2 - 0.03);
    const VECTOR3 r = vessel->pos - earth().state.pos;
    const VECTOR3 forward = alongMotion();
    const VECTOR3 side = unit(crossp(forward, unit(r)));
    // In the orbit frame but for 1e-9 rad about x: the capture's differences are
    // then the rounding of points 1.5e11 m out, not exactly zero.
    vessel->rot = simhost::rotationFromAngles(eulerFromAxes(crossp(side, forward), side, forward) + vec3(1e-9, 0, 0));
    double closest = 1.0, worstNose = 0.0, worstRoll = 0.0;
    for (int step = 0; step < 60; ++step) {
        updateAttitudeHold();
        const VECTOR3 nose = localAxis(*vessel, 2);
        closest = std::min(closest, length(crossp(nose, vec3(-1, 0, 0))));
        const VECTOR3 normal = unit(crossp(vessel->pos - earth().state.pos, vessel->vel - earth().state.vel));
        worstNose = std::max(worstNose, length(crossp(nose, alongMotion())));
        worstRoll = std::max(worstRoll, length(crossp(localAxis(*vessel, 1), -normal)));
        w().step(1.0);
    }
    EXPECT_LT(closest, 1e-3) << "the nose came no nearer to -x than this (rad)";
    EXPECT_LT(worstNose, 1e-8);
    EXPECT_LT(worstRoll, 1e-8);
}

}  // namespace
