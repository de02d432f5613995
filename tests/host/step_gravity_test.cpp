// The bodies' pull over a step: a step that starts where the last one ended
// reuses that step's end-stage tide terms, and only then.
#include <gtest/gtest.h>

#include <vector>

#include "host/physics/fitted_ephemeris.h"
#include "host/physics/physical_constants.h"
#include "host/physics/solar_system.h"
#include "host/physics/step_gravity.h"

namespace {

constexpr int kEarth = 1;  // indices among the built-in bodies
constexpr int kMoon = 2;
constexpr double kStartMjd = 60000.0;
constexpr double kStep = 10.0;  // s

class StepGravityCarry : public ::testing::Test {
protected:
    void SetUp() override {
        std::size_t count = 0;
        const simhost::BodySpec* table = simhost::builtInBodies(count);
        ASSERT_GT(count, static_cast<std::size_t>(kMoon));
        ASSERT_STREQ(table[kEarth].name, "Earth");
        ASSERT_STREQ(table[kMoon].name, "Moon");
        for (std::size_t i = 0; i < count; ++i) orbits.push_back(table[i].orbit);
        ephemeris.setBodies(orbits.data(), count);
    }

    std::vector<simhost::StateVectors> statesAt(double mjd) {
        std::vector<simhost::StateVectors> states(orbits.size());
        ephemeris.states(mjd, states.data());
        return states;
    }

    // The pull at the start of a step from start, worked out by a StepGravity
    // that has never stepped before.
    VECTOR3 freshStartPull(const std::vector<simhost::StateVectors>& start, double t0, const VECTOR3& relPos) {
        simhost::StepGravity fresh;
        fresh.resize(orbits.size());
        fresh.begin(ephemeris, start.data(), kStartMjd, t0, kStep);
        return fresh.acceleration(kEarth, 0.0, relPos);
    }

    std::vector<simhost::BodyOrbit> orbits;
    simhost::FittedEphemeris ephemeris;
    const VECTOR3 lowOrbit = vec3(6.778e6, 1.0e5, -2.0e4);  // m from Earth
};

void expectSameVector(const VECTOR3& a, const VECTOR3& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
}

TEST_F(StepGravityCarry, AStepFromWhereTheLastEndedPullsAsIfWorkedOutAfresh) {
    simhost::StepGravity gravity;
    gravity.resize(orbits.size());
    std::vector<simhost::StateVectors> states = statesAt(kStartMjd);
    gravity.begin(ephemeris, states.data(), kStartMjd, 0.0, kStep);
    gravity.acceleration(kEarth, kStep, lowOrbit);  // prepares the end stage
    gravity.takeEndStates(states);
    gravity.begin(ephemeris, states.data(), kStartMjd, kStep, kStep);
    expectSameVector(gravity.acceleration(kEarth, 0.0, lowOrbit), freshStartPull(states, kStep, lowOrbit));
}

TEST_F(StepGravityCarry, BodiesMovedBetweenStepsAreNotPulledFromWhereTheyWere) {
    simhost::StepGravity gravity;
    gravity.resize(orbits.size());
    std::vector<simhost::StateVectors> states = statesAt(kStartMjd);
    gravity.begin(ephemeris, states.data(), kStartMjd, 0.0, kStep);
    const VECTOR3 endPull = gravity.acceleration(kEarth, kStep, lowOrbit);
    gravity.takeEndStates(states);
    // As when the date is set anew between steps: the bodies jump a month on.
    const std::vector<simhost::StateVectors> moved = statesAt(kStartMjd + 30.0);
    gravity.begin(ephemeris, moved.data(), kStartMjd + 30.0, 0.0, kStep);
    const VECTOR3 startPull = gravity.acceleration(kEarth, 0.0, lowOrbit);
    expectSameVector(startPull, freshStartPull(moved, 0.0, lowOrbit));
    EXPECT_NE(startPull.x, endPull.x);
    // One body alone (the Moon) a kilometre off where the last step ended it
    // is enough to make the carried terms stale.
    gravity.acceleration(kEarth, kStep, lowOrbit);
    gravity.takeEndStates(states);
    std::vector<simhost::StateVectors> oneMoved = states;
    oneMoved[kMoon].pos.x += 1.0e3;  // m
    gravity.begin(ephemeris, oneMoved.data(), kStartMjd + 30.0, kStep, kStep);
    expectSameVector(gravity.acceleration(kEarth, 0.0, lowOrbit), freshStartPull(oneMoved, kStep, lowOrbit));
}

}  // namespace
