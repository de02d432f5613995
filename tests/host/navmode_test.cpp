// Navigation modes and free spin acting on a vessel's attitude.
#include <cmath>

#include "tests/support/world_fixture.h"

namespace {

class Navmodes : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        ship = w().addVessel("Ship");
        ship->pos = earth().state.pos + r;
        ship->vel = earth().state.vel + v;  // Earth moves at 30 km/s: only v is the orbit's
        ship->rot = start;
        ship->angVel = vec3(0.01, 0.02, -0.03);
    }
    VECTOR3 axis(int i) const { return ship->rot * vec3(i == 0, i == 1, i == 2); }
    const VECTOR3 r = vec3(6.0e6, 2.0e6, 1.0e6);  // m, from Earth
    const VECTOR3 v = vec3(-2.0e3, 6.5e3, 2.0e3);  // m/s, relative to Earth
    const simhost::Mat3 start = simhost::rotationFromAngles(vec3(0.3, -0.2, 1.1));
    simhost::Vessel* ship = nullptr;
};

TEST_F(Navmodes, KillrotStopsTheSpinAndHoldsTheAttitude) {
    ship->setNavmode(NAVMODE_KILLROT, true);
    w().step(1.0);
    EXPECT_EQ(length(ship->angVel), 0.0);
    EXPECT_LT(length(axis(0) - start * vec3(1, 0, 0)) + length(axis(2) - start * vec3(0, 0, 1)), 1e-14);
}

TEST_F(Navmodes, PointingModesTurnTheNoseTheShortestWayRelativeToEarth) {
    const VECTOR3 targets[] = {v, -v, crossp(r, v), -crossp(r, v)};
    for (int mode = NAVMODE_PROGRADE; mode <= NAVMODE_ANTINORMAL; ++mode) {
        SCOPED_TRACE(mode);
        SetUp();  // a fresh world and ship each time
        ship->setNavmode(mode, true);
        w().step(1.0);
        const VECTOR3 target = unit(targets[mode - NAVMODE_PROGRADE]);
        EXPECT_LT(length(axis(2) - target), 1e-12);
        EXPECT_EQ(length(ship->angVel), 0.0);
        // The smallest turn is about nose x target, which it leaves where it was.
        const VECTOR3 hinge = unit(crossp(start * vec3(0, 0, 1), target));
        EXPECT_LT(length(ship->rot * simhost::transposeTimes(start, hinge) - hinge), 1e-12);
    }
}

TEST_F(Navmodes, TheHighestPointingModeWins) {
    ship->setNavmode(NAVMODE_PROGRADE, true);
    ship->setNavmode(NAVMODE_NORMAL, true);
    w().step(1.0);
    EXPECT_LT(length(axis(2) - unit(crossp(r, v))), 1e-12);
}

TEST_F(Navmodes, PointingBackwardsIsAHalfTurnAboutTheVesselX) {
    ship->rot = simhost::identityMatrix();
    ship->vel = earth().state.vel + vec3(0, 0, -7.5e3);
    ship->setNavmode(NAVMODE_PROGRADE, true);
    w().step(1.0);
    EXPECT_LT(length(axis(0) - vec3(1, 0, 0)) + length(axis(2) - vec3(0, 0, -1)), 1e-12);
}

// HLEVEL and HOLDALT do nothing here: the vessel spins as it would without them.
TEST_F(Navmodes, SpinTurnsTheAttitudeAboutTheVesselAxis) {
    ship->setNavmode(NAVMODE_HLEVEL, true);
    ship->setNavmode(NAVMODE_HOLDALT, true);
    ship->angVel = vec3(0, 0, 0.02);                 // rad/s about the vessel's z axis
    for (int i = 0; i < 100; ++i) w().step(0.05);  // 0.1 rad in all
    EXPECT_LT(length(axis(0) - start * vec3(std::cos(0.1), std::sin(0.1), 0)), 1e-12);
    EXPECT_LT(length(axis(2) - start * vec3(0, 0, 1)), 1e-12);
    constexpr double kOrthogonalityTolerance = 1e-15;
    EXPECT_NEAR(dotp(axis(0), axis(1)), 0.0, kOrthogonalityTolerance);
}

}  // namespace
