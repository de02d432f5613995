// Time stepping and body motion.
#include <cmath>

#include "host/physics/ephemeris.h"
#include "host/physics/fitted_ephemeris.h"
#include "host/physics/physical_constants.h"
#include "host/physics/solar_system.h"
#include "tests/support/world_fixture.h"

namespace {

class WorldStep : public WorldTest {};

TEST_F(WorldStep, AdvancesTimeAndMovesTheBodies) {
    w().setStartMjd(60000.0);
    const VECTOR3 before = earth().state.pos;
    for (int i = 0; i < 10; ++i) w().step(60.0);
    EXPECT_DOUBLE_EQ(w().simTime(), 600.0);
    EXPECT_DOUBLE_EQ(w().mjd(), 60000.0 + 600.0 / simhost::kSecondsPerDay);
    const VECTOR3 moved = earth().state.pos - before;
    // Earth covers about 30 km/s along its orbit.
    constexpr double kMeanSpeedTolerance = 10.0;  // m/s: the orbit bends over ten minutes
    EXPECT_NEAR(length(moved) / 600.0, length(earth().state.vel), kMeanSpeedTolerance);
}

TEST_F(WorldStep, BodiesAreWhereTheEphemerisPutsThem) {
    w().setStartMjd(59000.25);
    w().step(3600.0);
    std::size_t count = 0;
    const simhost::BodySpec* table = simhost::builtInBodies(count);
    ASSERT_EQ(w().bodies().size(), count);
    std::vector<simhost::BodyOrbit> orbits;
    for (std::size_t i = 0; i < count; ++i) orbits.push_back(table[i].orbit);
    // Exactly the fitted ephemeris' states, and the model's to the fit's error.
    simhost::FittedEphemeris fit;
    fit.setBodies(orbits.data(), count);
    std::vector<simhost::StateVectors> fitted(count), model(count);
    fit.states(59000.25 + 1.0 / 24.0, fitted.data());
    simhost::ephemerisStates(orbits.data(), count, 59000.25 + 1.0 / 24.0, model.data());
    constexpr double kFitTolerance = 0.05;  // m, m/s: well above the fit's error (fitted_ephemeris_test)
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(w().bodies()[i]->name, table[i].name);
        EXPECT_EQ(w().bodies()[i]->state.pos.x, fitted[i].pos.x);
        EXPECT_EQ(w().bodies()[i]->state.vel.y, fitted[i].vel.y);
        EXPECT_LT(length(w().bodies()[i]->state.pos - model[i].pos), kFitTolerance);
        EXPECT_LT(length(w().bodies()[i]->state.vel - model[i].vel), kFitTolerance);
    }
}

TEST_F(WorldStep, BodiesNeedAKnownParentAndAFreeName) {
    EXPECT_EQ(w().addBody("Phobos", 7.1e5, 1.1e4, "Vulcan", ELEMENTS{9.4e6, 0.015, 0.02, 0, 0, 0}, 51544.5), nullptr);
    EXPECT_EQ(w().addBody("mars", 1.0, 1.0, nullptr, ELEMENTS{}, 51544.5), nullptr);
    simhost::Body* phobos = w().addBody("Phobos", 7.1e5, 1.1e4, "Mars", ELEMENTS{9.376e6, 0.0151, 0.0, 0, 0, 0}, 51544.5);
    ASSERT_NE(phobos, nullptr);
    const double distance = length(phobos->state.pos - w().findBody("Mars")->state.pos);
    EXPECT_GT(distance, 9.376e6 * (1 - 0.0151) - 1.0);
    EXPECT_LT(distance, 9.376e6 * (1 + 0.0151) + 1.0);
}

// A scenario records the built-in bodies by their elements; given back exactly,
// they move by the built-in models again (with the GM an earlier build saved
// too, taking today's), and any other numbers make a plain Kepler orbit.
TEST_F(WorldStep, BodiesSavedFromTheBuiltInSystemMoveByItsModels) {
    std::size_t count = 0;
    const simhost::BodySpec* table = simhost::builtInBodies(count);
    const simhost::BodySpec& moon = table[2];
    ASSERT_STREQ(moon.name, "Moon");
    w().reset();
    w().addBody("Earth", table[1].gm, table[1].radius, nullptr, ELEMENTS{}, simhost::kJ2000Mjd);
    w().addBody("moon", moon.gm, moon.radius, "EARTH", moon.orbit.elements, moon.orbit.epochMjd);
    ELEMENTS other = moon.orbit.elements;
    other.L += 1e-12;
    w().addBody("Luna", moon.gm, moon.radius, "Earth", other, moon.orbit.epochMjd);
    ASSERT_EQ(w().orbits().size(), 3u);
    EXPECT_EQ(w().orbits()[1].model, simhost::OrbitModel::LunarTheory);
    EXPECT_EQ(w().orbits()[2].model, simhost::OrbitModel::Kepler);

    // The Moon as a scenario saved before the GMs came from one ephemeris
    // recorded it; a GM off by one unit in its last place is not that one.
    const double formerMoonGm = 4.9048695e12;
    for (double gm : {formerMoonGm, std::nextafter(formerMoonGm, 0.0)}) {
        w().reset();
        w().addBody("Earth", 3.986004418e14, table[1].radius, nullptr, ELEMENTS{}, simhost::kJ2000Mjd);
        w().addBody("Moon", gm, moon.radius, "Earth", moon.orbit.elements, moon.orbit.epochMjd);
        ASSERT_EQ(w().orbits().size(), 2u);
        const bool former = gm == formerMoonGm;
        EXPECT_EQ(w().orbits()[1].model, former ? simhost::OrbitModel::LunarTheory : simhost::OrbitModel::Kepler);
        EXPECT_EQ(w().orbits()[1].gm, former ? moon.gm : gm);
    }
}

class ModuleStepping : public WorldTest {};

TEST_F(ModuleStepping, EachStepCallsTheModuleFirstWithTheTimeBeforeTheStep) {
    std::string error;
    simhost::LoadedModule* module = w().modules().load(FIXTURE_EXIT_MODULE_PATH, error);
    ASSERT_NE(module, nullptr) << error;
    auto count = reinterpret_cast<int (*)(const char*)>(w().modules().entryPoint(*module, "fixtureEventCount"));
    auto last = reinterpret_cast<void (*)(double*)>(w().modules().entryPoint(*module, "lastPreStep"));
    w().setStartMjd(60000.0);
    w().step(2.0);
    w().step(0.5);
    EXPECT_EQ(count("opcPreStep"), 2);
    double seen[3];
    last(seen);
    EXPECT_EQ(seen[0], 2.0);  // simulation time at the start of the step
    EXPECT_EQ(seen[1], 0.5);
    EXPECT_DOUBLE_EQ(seen[2], 60000.0 + 2.0 / simhost::kSecondsPerDay);
    w().reset();  // unloads the module
    EXPECT_TRUE(w().modules().modules().empty());
}

}  // namespace
