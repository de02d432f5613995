// Flight dispersions put into the default mission's tug: engine factors, the
// thrust direction's tilt, starting-state errors along the orbit frame's axes,
// and a later start that keeps the state relative to Earth.
#include <gtest/gtest.h>

#include <cmath>

#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/run/default_mission.h"
#include "sim/run/summary.h"
#include "sim/sample/flight_dispersion.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class Dispersion : public ::testing::Test {
protected:
    void SetUp() override {
        simhost::world().reset();
        const simhost::ScenarioLoad load = simhost::loadScenarioText(zolksim::kDefaultMissionText, "default");
        ASSERT_TRUE(load.ok);
        vessel = simhost::world().focus();
        ASSERT_NE(vessel, nullptr);
        body = zolksim::dominantBodyOf(*vessel);
        ASSERT_NE(body, nullptr);
    }
    void TearDown() override { simhost::world().reset(); }

    simhost::Vessel* vessel = nullptr;
    const simhost::Body* body = nullptr;
};

TEST_F(Dispersion, EngineFactorsAndTiltChangeEveryMainEngine) {
    const std::vector<simhost::Thruster*>& main = *vessel->group(THGROUP_MAIN);
    ASSERT_EQ(main.size(), 2u);
    const VECTOR3 before = main[0]->dir;  // +z, the nose
    zolksim::FlightDispersion d;
    d.thrustFactor = 1.02;
    d.ispFactor = 0.99;
    d.tiltRad = 0.5 * kPi / 180;
    d.tiltAzimuthRad = kPi / 2;  // towards the vessel's +y
    std::string error;
    ASSERT_TRUE(zolksim::applyDispersion(d, *vessel, *body, error)) << error;
    for (const simhost::Thruster* t : main) {
        EXPECT_DOUBLE_EQ(t->max0, 1.5 * 1.02);
        EXPECT_DOUBLE_EQ(t->isp, 30000 * 0.99);
        EXPECT_NEAR(std::acos(dotp(t->dir, before)), d.tiltRad, 1e-12);
        EXPECT_NEAR(length(t->dir), 1.0, 1e-15);
        EXPECT_NEAR(t->dir.y, std::sin(d.tiltRad), 1e-12);  // leaning the way the azimuth says
        EXPECT_NEAR(t->dir.x, 0.0, 1e-15);
    }
    d = {};
    d.thrustFactor = 0.0;
    EXPECT_FALSE(zolksim::applyDispersion(d, *vessel, *body, error));
}

TEST_F(Dispersion, StateErrorsAlongTheOrbitFramesAxes) {
    const VECTOR3 r0 = vessel->pos - body->state.pos, v0 = vessel->vel - body->state.vel;
    const VECTOR3 radial = unit(r0), cross = unit(crossp(r0, v0)), along = crossp(cross, radial);
    zolksim::FlightDispersion d;
    d.radialM = 100;
    d.alongM = -40;
    d.crossM = 7;
    d.radialMps = 0.1;
    d.alongMps = 0.2;
    d.crossMps = -0.3;
    std::string error;
    ASSERT_TRUE(zolksim::applyDispersion(d, *vessel, *body, error)) << error;
    const VECTOR3 dr = vessel->pos - body->state.pos - r0, dv = vessel->vel - body->state.vel - v0;
    EXPECT_NEAR(dotp(dr, radial), 100, 1e-6);
    EXPECT_NEAR(dotp(dr, along), -40, 1e-6);
    EXPECT_NEAR(dotp(dr, cross), 7, 1e-6);
    EXPECT_NEAR(dotp(dv, radial), 0.1, 1e-9);
    EXPECT_NEAR(dotp(dv, along), 0.2, 1e-9);
    EXPECT_NEAR(dotp(dv, cross), -0.3, 1e-9);
    // The default tug starts at periapsis: along-track is its velocity's way.
    EXPECT_GT(dotp(unit(v0), along), 0.999999);
}

TEST_F(Dispersion, LaterStartMovesTheDateAndKeepsTheStateRelativeToTheBody) {
    const double mjd = simhost::world().mjd();
    const VECTOR3 r0 = vessel->pos - body->state.pos, v0 = vessel->vel - body->state.vel;
    const VECTOR3 earth0 = body->state.pos;
    zolksim::FlightDispersion d;
    d.startDelayDays = 1.5;
    std::string error;
    ASSERT_TRUE(zolksim::applyDispersion(d, *vessel, *body, error)) << error;
    EXPECT_DOUBLE_EQ(simhost::world().mjd(), mjd + 1.5);
    EXPECT_GT(length(body->state.pos - earth0), 1e9);  // Earth moved on some 3.9 million km
    EXPECT_NEAR(length(vessel->pos - body->state.pos - r0), 0.0, 1e-3);
    EXPECT_NEAR(length(vessel->vel - body->state.vel - v0), 0.0, 1e-9);
}

}  // namespace
