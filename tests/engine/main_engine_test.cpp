// The main-engine model: reading and applying thrust and ISP, and the two
// entry boxes with their single-precision parsing and refusals.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine_entry.h"
#include "engine/main_engine.h"
#include "tests/support/module_test.h"

namespace {

class MainEngine : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        vessel = &addVessel("Lifter", 10000.0);
        tank = vessel->addPropellant(1000.0, 1000.0);
        control("Lifter", "Earth");
    }
    void addThrusters(int count, double maxThrust = 1000.0, double isp = 3000.0) {
        for (int i = 0; i < count; ++i) thrusters.push_back(addMainThruster(*vessel, maxThrust, isp, tank));
    }
    bool enterThrust(const char* text) {
        std::string copy = text;
        return onThrustEntered(nullptr, copy.data(), nullptr);
    }
    bool enterIsp(const char* text) {
        std::string copy = text;
        return onIspEntered(nullptr, copy.data(), nullptr);
    }

    simhost::Vessel* vessel = nullptr;
    simhost::Propellant* tank = nullptr;
    std::vector<simhost::Thruster*> thrusters;
};

TEST_F(MainEngine, ReadsTheTotalThrustAndTheMeanIsp) {
    thrusters.push_back(addMainThruster(*vessel, 100000.0, 3000.0, tank));
    thrusters.push_back(addMainThruster(*vessel, 150000.0, 4000.0, tank));
    pluginState.mainThrusterCount = 9;
    readMainThrust();
    EXPECT_EQ(pluginState.totalThrust, 250000.0);
    EXPECT_EQ(pluginState.thrusterMaxThrust[1], 150000.0);
    EXPECT_EQ(pluginState.mainThrusterCount, 9u);  // the thrust read does not count
    readMainIsp();
    EXPECT_EQ(pluginState.mainIsp, 3500.0);
    EXPECT_EQ(pluginState.thrusterIsp[0], 3000.0);
    EXPECT_EQ(pluginState.mainThrusterCount, 2u);
    EXPECT_EQ(pluginState.mainThrusters[1], thrusters[1]);
}

TEST_F(MainEngine, ThrustEntriesAreSplitEvenlyAtSinglePrecision) {
    addThrusters(2);
    EXPECT_TRUE(enterThrust("250000"));
    EXPECT_EQ(thrusters[0]->max0, 125000.0);
    EXPECT_EQ(thrusters[1]->max0, 125000.0);
    EXPECT_EQ(pluginState.totalThrust, 250000.0);

    addThrusters(2);
    startTrace();
    EXPECT_TRUE(enterThrust("123456789"));
    EXPECT_EQ(pluginState.totalThrust, 123456792.0);
    EXPECT_EQ(pluginState.thrustEntry, 123456792.0f);
    for (const simhost::Thruster* thruster : thrusters) EXPECT_EQ(thruster->max0, 30864198.0);
    EXPECT_EQ(simhost::traceEntries().back(), "SetThrusterMax0(th3, 30864198)");
    EXPECT_EQ(simhost::traceCount("SetThrusterMax0"), 4);

    EXPECT_TRUE(enterThrust("1e5"));
    EXPECT_EQ(pluginState.totalThrust, 100000.0);
    EXPECT_TRUE(enterThrust("  42 kN"));
    EXPECT_EQ(pluginState.totalThrust, 42.0);
    EXPECT_TRUE(enterThrust("0"));
    EXPECT_EQ(pluginState.totalThrust, 0.0);
    EXPECT_EQ(thrusters[3]->max0, 0.0);
}

// Each apply operation counts the group into mainThrusterCount; the
// thrust read does not.
TEST_F(MainEngine, BothApplyOperationsRecordTheThrusterCount) {
    addThrusters(3);
    pluginState.mainThrusterCount = 9;
    applyTotalThrust(3000.0);
    EXPECT_EQ(pluginState.mainThrusterCount, 3u);
    addThrusters(2);
    applyTotalThrust(5000.0);
    EXPECT_EQ(pluginState.mainThrusterCount, 5u);

    pluginState.mainThrusterCount = 9;
    applyIsp(2500.0);
    EXPECT_EQ(pluginState.mainThrusterCount, 5u);

    pluginState.mainThrusterCount = 9;
    readMainThrust();
    EXPECT_EQ(pluginState.mainThrusterCount, 9u);
    readMainIsp();
    EXPECT_EQ(pluginState.mainThrusterCount, 5u);
}

TEST_F(MainEngine, IspEntriesReachEveryThrusterAtSinglePrecision) {
    addThrusters(3);
    EXPECT_TRUE(enterIsp("0.1"));
    EXPECT_EQ(pluginState.mainIsp, static_cast<double>(0.1f));
    EXPECT_NEAR(pluginState.mainIsp, 0.100000001490116, 1e-15);
    for (const simhost::Thruster* thruster : thrusters) EXPECT_EQ(thruster->isp, pluginState.mainIsp);
    EXPECT_TRUE(enterIsp("30000 m/s"));
    EXPECT_EQ(thrusters[2]->isp, 30000.0);
    EXPECT_EQ(pluginState.mainThrusterCount, 3u);
}

// Entries that are no usable number are refused: the box stays open, no
// thruster is touched and the last good entry stays in place.
TEST_F(MainEngine, EntriesWithoutAUsableNumberAreRefusedAndChangeNothing) {
    addThrusters(2);
    ASSERT_TRUE(enterThrust("5000"));
    ASSERT_TRUE(enterIsp("2500"));
    const RecordBytes before = recordBytes();
    for (const char* text : {"", "   ", "kN", "abc 12", "nan", "NAN", "inf", "-inf", "infinity", "-1", "-0.5",
                             "1e39", "-1e39"}) {
        SCOPED_TRACE(std::string("entry \"") + text + "\"");
        startTrace();
        EXPECT_FALSE(enterThrust(text));
        EXPECT_FALSE(enterIsp(text));
        EXPECT_TRUE(simhost::traceEntries().empty());
        EXPECT_EQ(recordBytes(), before);
    }
    EXPECT_FALSE(onThrustEntered(nullptr, nullptr, nullptr));
    EXPECT_EQ(thrusters[0]->max0, 2500.0);
    EXPECT_EQ(thrusters[1]->isp, 2500.0);
}

TEST_F(MainEngine, AnEmptyGroupTakesTheSettingsWithoutThrusterCalls) {
    readMainThrust();
    EXPECT_EQ(pluginState.totalThrust, 0.0);
    readMainIsp();
    EXPECT_TRUE(std::isnan(pluginState.mainIsp));
    startTrace();
    applyTotalThrust(5000.0);
    applyIsp(2000.0);
    EXPECT_EQ(simhost::traceCount("SetThrusterMax0") + simhost::traceCount("SetThrusterIsp"), 0);
    EXPECT_EQ(pluginState.totalThrust, 5000.0);
    EXPECT_EQ(pluginState.mainIsp, 2000.0);
}

// Groups larger than the record's tables: every thruster is read and set, and
// only the first four are recorded.
TEST_F(MainEngine, LargeGroupsAreHandledInFullWithinTheTables) {
    for (int i = 0; i < 6; ++i) thrusters.push_back(addMainThruster(*vessel, 1000.0 * (i + 1), 100.0 * (i + 1), tank));
    readMainThrust();
    EXPECT_EQ(pluginState.totalThrust, 21000.0);
    EXPECT_EQ(pluginState.thrusterMaxThrust[3], 4000.0);
    readMainIsp();
    EXPECT_EQ(pluginState.mainIsp, 350.0);
    EXPECT_EQ(pluginState.mainThrusterCount, 6u);
    EXPECT_EQ(pluginState.mainThrusters[3], thrusters[3]);
    applyTotalThrust(60000.0);
    applyIsp(450.0);
    for (const simhost::Thruster* thruster : thrusters) {
        EXPECT_EQ(thruster->max0, 10000.0);
        EXPECT_EQ(thruster->isp, 450.0);
    }
    EXPECT_EQ(pluginState.ispSum, 2100.0);  // the field after the tables is intact
}

}  // namespace
