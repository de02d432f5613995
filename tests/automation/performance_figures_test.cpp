// The figures: acceleration per day and delta-v by the rocket equation, with
// each tank counted once however the main thrusters share them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "automation/performance_figures.h"
#include "tests/support/module_test.h"

namespace {

class PerformanceFigures : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        vessel = &addVessel("Freighter", 20000.0);
        control("Freighter", "Earth");
        pluginState.mainIsp = 3000.0;
    }
    simhost::Vessel* vessel = nullptr;
};

TEST_F(PerformanceFigures, AccelerationPerDayFollowsTheConfiguredThrust) {
    vessel->emptyMass = 50000.0;
    pluginState.totalThrust = 200000.0;
    updatePerformanceFigures();
    EXPECT_EQ(pluginState.maxAccPerDay, 345600.0);
}

// The order is fixed: (totalThrust / m) * 86400, the division first.
// The other order differs in the last bit for some inputs; these are such inputs,
// so only the exact bits tell the two apart.
TEST_F(PerformanceFigures, AccelerationPerDayDividesFirstToTheLastBit) {
    struct Case {
        double thrust, mass;
    };
    for (const Case c : {Case{0.1, 50000.0}, Case{200000.0, 1000.1}, Case{250000.0, 3333.3}}) {
        vessel->emptyMass = c.mass;
        pluginState.totalThrust = c.thrust;
        updatePerformanceFigures();
        const double prescribed = (c.thrust / c.mass) * 86400.0;
        ASSERT_NE(prescribed, (c.thrust * 86400.0) / c.mass) << "an input on which the orders agree";
        EXPECT_EQ(pluginState.maxAccPerDay, prescribed) << c.thrust << " N, " << c.mass << " kg";
    }
}

// The rocket equation as written, isp * ln(m / (m - propellant)), to the last
// bit: on these inputs the same logarithm taken another way (log1p of the
// propellant over the dry mass) differs.
TEST_F(PerformanceFigures, DeltaVIsThePrescribedFormulaToTheLastBit) {
    struct Case {
        double dry, propellant;
    };
    for (const Case c : {Case{43000.0, 7000.0}, Case{1000.0, 400.0}, Case{20000.0, 1500.0}}) {
        w().reset();
        w().addBuiltInBodies();
        vessel = &addVessel("Freighter", c.dry);
        control("Freighter", "Earth");
        addMainThruster(*vessel, 1000.0, 3000.0, vessel->addPropellant(c.propellant, c.propellant));
        updatePerformanceFigures();
        const double m = c.dry + c.propellant;
        const double prescribed = 3000.0 * std::log(m / (m - c.propellant));
        ASSERT_NE(prescribed, 3000.0 * std::log1p(c.propellant / (m - c.propellant)));
        EXPECT_EQ(pluginState.mainDeltaV, prescribed) << c.dry << " kg dry, " << c.propellant << " kg";
    }
}

TEST_F(PerformanceFigures, DeltaVCountsASharedTankOnceAndSeparateTanksEach) {
    // 30000 kg in all with 10000 kg of propellant: 3000 * ln(1.5).
    const double expected = 3000.0 * std::log(30000.0 / 20000.0);
    {
        simhost::Propellant* shared = vessel->addPropellant(10000.0, 10000.0);
        addMainThruster(*vessel, 1000.0, 3000.0, shared);
        addMainThruster(*vessel, 1000.0, 3000.0, shared);
        updatePerformanceFigures();
        EXPECT_NEAR(pluginState.mainDeltaV, 1216.395, 5e-4);
        EXPECT_DOUBLE_EQ(pluginState.mainDeltaV, expected);
        EXPECT_EQ(pluginState.mainThrusterCount, 2u);
        EXPECT_EQ(pluginState.thrusterResource[0], pluginState.thrusterResource[1]);
    }
    w().reset();
    w().addBuiltInBodies();
    vessel = &addVessel("Freighter", 20000.0);
    control("Freighter", "Earth");
    addMainThruster(*vessel, 1000.0, 3000.0, vessel->addPropellant(5000.0, 5000.0));
    addMainThruster(*vessel, 1000.0, 3000.0, vessel->addPropellant(5000.0, 5000.0));
    updatePerformanceFigures();
    EXPECT_DOUBLE_EQ(pluginState.mainDeltaV, expected);
    EXPECT_EQ(pluginState.thrusterPropellantMass[1], 5000.0);
    EXPECT_EQ(pluginState.propellantSum, 0.0);
}

TEST_F(PerformanceFigures, FourThrustersWithTheFirstAndLastSharingMakeOnlyTheListedCalls) {
    simhost::Propellant* a = vessel->addPropellant(1000.0, 1000.0);
    simhost::Propellant* b = vessel->addPropellant(2000.0, 2000.0);
    simhost::Propellant* c = vessel->addPropellant(3000.0, 3000.0);
    for (simhost::Propellant* tank : {a, b, c, a}) addMainThruster(*vessel, 1000.0, 3000.0, tank);
    startTrace();
    updatePerformanceFigures();
    const double mass = 20000.0 + 6000.0;
    EXPECT_DOUBLE_EQ(pluginState.mainDeltaV, 3000.0 * std::log(mass / (mass - 6000.0)));
    std::vector<std::string> calls = {"oapiGetVesselByName", "oapiGetVesselInterface", "GetMass",
                                      "GetGroupThrusterCount"};
    for (int i = 0; i < 4; ++i) calls.insert(calls.end(), {"GetGroupThruster", "GetThrusterResource", "GetPropellantMass"});
    EXPECT_EQ(tracedCalls(), calls);
}

// Groups larger than the record's tables: every thruster still counts, each
// tank once, and the tables beyond their fourth entry are never written.
TEST_F(PerformanceFigures, LargeGroupsCountEveryTankOnceAndKeepToTheTables) {
    simhost::Propellant* tanks[] = {vessel->addPropellant(100.0, 100.0), vessel->addPropellant(200.0, 200.0),
                                    vessel->addPropellant(400.0, 400.0), vessel->addPropellant(800.0, 800.0)};
    // Thrusters 0..7 on tanks 0 1 2 0 3 3 1 3: tank 3 first appears past the table.
    for (int t : {0, 1, 2, 0, 3, 3, 1, 3}) addMainThruster(*vessel, 1000.0, 3000.0, tanks[t]);
    pluginState.totalThrust = 8000.0;
    updatePerformanceFigures();
    const double mass = 20000.0 + 1500.0;
    EXPECT_DOUBLE_EQ(pluginState.mainDeltaV, 3000.0 * std::log(mass / (mass - 1500.0)));
    EXPECT_EQ(pluginState.mainThrusterCount, 8u);
    EXPECT_EQ(pluginState.thrusterResource[3], tanks[0]);
    EXPECT_EQ(pluginState.thrusterPropellantMass[3], 100.0);
    EXPECT_DOUBLE_EQ(pluginState.maxAccPerDay, 8000.0 / mass * 86400.0);
    EXPECT_EQ(pluginState.propellantSum, 0.0);
}

TEST_F(PerformanceFigures, EmptyFullAndUnconfiguredTanksGiveTheirLimits) {
    simhost::Propellant* tank = vessel->addPropellant(500.0, 0.0);
    addMainThruster(*vessel, 1000.0, 3000.0, tank);
    updatePerformanceFigures();
    EXPECT_EQ(pluginState.mainDeltaV, 0.0);

    // All the mass is propellant: nothing is left once it is burnt.
    vessel->emptyMass = 0.0;
    tank->mass = 500.0;
    updatePerformanceFigures();
    EXPECT_EQ(pluginState.mainDeltaV, std::numeric_limits<double>::infinity());
    EXPECT_EQ(pluginState.propellantSum, 0.0);

    // A vessel without main thrusters leaves the mean ISP undefined.
    pluginState.mainIsp = std::numeric_limits<double>::quiet_NaN();
    vessel->emptyMass = 1000.0;
    updatePerformanceFigures();
    EXPECT_TRUE(std::isnan(pluginState.mainDeltaV));
    EXPECT_EQ(pluginState.propellantSum, 0.0);
}

}  // namespace
