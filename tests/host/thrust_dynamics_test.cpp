// Thrust and propellant in deep space (no bodies), against the rocket equation.
#include <cmath>
#include <tuple>

#include "tests/support/world_fixture.h"

namespace {

class DeepSpace : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        w().reset();
        ship = w().addVessel("Ship");
        ship->emptyMass = 1000.0;
        tank = ship->addPropellant(1000.0, 1000.0);
        engine = ship->addThruster(vec3(0, 0, -3), vec3(0, 0, 1), 1.0e4, 3000.0, tank);  // 10/3 kg/s
        engine->level = 1.0;
    }
    simhost::Vessel* ship = nullptr;
    simhost::Propellant* tank = nullptr;
    simhost::Thruster* engine = nullptr;
};

// Speed gained from mass m0 down to m1 at exhaust speed isp (m/s).
constexpr double kMassTolerance = 1e-9;      // kg of propellant
constexpr double kRelativeTolerance = 1e-9;  // of a speed gained
double rocketSpeed(double isp, double m0, double m1) { return isp * std::log(m0 / m1); }

TEST_F(DeepSpace, BurnToEmptyGainsTheRocketEquationSpeedThoughTheTankRunsDryMidStep) {
    for (int i = 0; i < 42; ++i) w().step(7.0);  // the tank runs dry at 300 s, 6 s into the next
    EXPECT_NEAR(tank->mass, 1000.0 - 294.0 * 10.0 / 3.0, kMassTolerance);
    EXPECT_NEAR(ship->vel.z, rocketSpeed(3000.0, 2000.0, ship->mass()), kRelativeTolerance * ship->vel.z);
    w().step(7.0);
    w().step(7.0);
    EXPECT_EQ(tank->mass, 0.0);
    EXPECT_NEAR(ship->vel.z, rocketSpeed(3000.0, 2000.0, 1000.0), kRelativeTolerance * ship->vel.z);
}

TEST_F(DeepSpace, NothingBurnsWithoutLevelRatingIspOrPropellant) {
    simhost::Propellant* dry = ship->addPropellant(500.0, 0.0);
    engine->level = 0.0;
    for (auto [max0, isp, resource] : {std::tuple{1e4, 0.0, tank}, {0.0, 3000.0, tank}, {1e4, 3000.0, nullptr},
                                       {1e4, 3000.0, dry}})
        ship->addThruster(vec3(0, 0, 0), vec3(1, 0, 0), max0, isp, resource)->level = 1.0;
    w().step(10.0);
    EXPECT_EQ(length(ship->vel), 0.0);
    EXPECT_EQ(tank->mass, 1000.0);
}

// A step with no thruster burning leaves the tanks alone without looking at
// them; one with a flow of a twenty-thousandth of a kilogram a second (an ion
// engine's) still draws it, and switched off again stops drawing.
TEST_F(DeepSpace, AnIonEnginesTinyFlowIsDrawnAndStopsWithTheEngine) {
    engine->max0 = 1.5;    // N
    engine->isp = 30000.0; // m/s: 5e-5 kg/s
    for (int i = 0; i < 100; ++i) w().step(1.0);
    EXPECT_NEAR(tank->mass, 1000.0 - 100 * 5e-5, 1e-10);  // kg: 100 roundings at 1000 kg
    const double left = tank->mass;
    engine->level = 0.0;
    for (int i = 0; i < 10; ++i) w().step(1.0);
    EXPECT_EQ(tank->mass, left);
}

TEST_F(DeepSpace, ThrustersSharingATankDrawTheSummedFlowAlongTheNose) {
    ship->addThruster(vec3(1, 0, -3), vec3(0, 0, 1), 2.0e4, 2000.0, tank)->level = 0.5;  // 1e4 N, 5 kg/s
    ship->rot = simhost::rotationFromAngles(vec3(0.4, -1.0, 2.5));
    for (int i = 0; i < 10; ++i) w().step(1.0);
    const double flow = 10.0 / 3.0 + 5.0;  // kg/s
    EXPECT_NEAR(tank->mass, 1000.0 - 10.0 * flow, kMassTolerance);
    const double gained = rocketSpeed(2.0e4 / flow, 2000.0, 2000.0 - 10.0 * flow);  // 2e4 N in all
    EXPECT_LT(length(ship->vel - ship->rot * vec3(0, 0, 1) * gained), 1e-9 * gained);
}

}  // namespace
