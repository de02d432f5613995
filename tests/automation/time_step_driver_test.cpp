// The per-step driver: which blocks run, in which order, read off the host's
// call trace, and what a missing reference body does to the switches.
#include <gtest/gtest.h>

#include "automation/time_step_driver.h"
#include "tests/support/module_test.h"

namespace {

constexpr double kEarthRadius = 6.371e6;  // m

class TimeStepDriver : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        vessel = &addVessel("Shuttle", 8000.0);
        addMainThruster(*vessel, 500.0, 3000.0, vessel->addPropellant(2000.0, 2000.0));
        placeOnOrbit(*vessel, earth(), kEarthRadius + 300e3, kEarthRadius + 500e3, 0.1);
        control("Shuttle", "Earth");
    }

    // One step, reported as the blocks that ran: each block is known by the
    // first host call that only it makes.
    std::vector<std::string> blocksRun() {
        startTrace();
        opcPreStep(0.0, 1.0, 51544.5);
        simhost::setTraceEnabled(false);
        std::vector<std::string> blocks;
        for (const std::string& entry : simhost::traceEntries()) {
            if (entry == "DeactivateNavmode(1)") blocks.push_back("hold");
            if (entry.starts_with("GetElements(")) blocks.push_back("burn");
            if (entry == "GetMass()") blocks.push_back("figures");
        }
        return blocks;
    }

    simhost::Vessel* vessel = nullptr;
};

using Blocks = std::vector<std::string>;

TEST_F(TimeStepDriver, RunsTheBlocksOfTheDispatchTableInOrder) {
    struct Row {
        const char* refName;
        int hold, burn;
        Blocks blocks;
        int holdAfter;
    };
    const Row rows[] = {
        {"Earth", 1, 1, {"hold", "burn", "figures"}, 1},
        {"Earth", 1, 0, {"hold", "figures"}, 1},
        {"Earth", 0, 1, {"burn", "figures"}, 0},
        {"Earth", 0, 0, {"figures"}, 0},
        {"Earth", 2, 2, {"figures"}, 2},  // only exactly 1 counts as on
        {"Vulcan", 1, 1, {}, 0},          // the hold switches itself off
        {"Vulcan", 1, 0, {}, 0},
        {"Vulcan", 0, 1, {}, 0},
        {"Vulcan", 0, 0, {}, 0},
        {"", 1, 1, {}, 0},                // no display has named a body yet
        {"Vulcan", 2, 1, {}, 2},          // a value that is not 1 is left alone
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.refName) + " hold " + std::to_string(row.hold) + " burn " +
                     std::to_string(row.burn));
        control("Shuttle", row.refName);
        pluginState.refBody = reinterpret_cast<OBJHANDLE>(1);  // stale: each step looks the body up again
        pluginState.attitudeHold = row.hold;
        pluginState.autoBurn = row.burn;
        pluginState.holdFrameCaptured = 1;
        EXPECT_EQ(blocksRun(), row.blocks);
        EXPECT_EQ(simhost::traceEntries().front(), "oapiGetObjectByName(" + std::string(row.refName) + ")");
        EXPECT_EQ(pluginState.refBody, oapiGetObjectByName(row.refName));
        EXPECT_EQ(pluginState.attitudeHold, row.holdAfter);
        EXPECT_EQ(pluginState.autoBurn, row.burn);
        EXPECT_EQ(pluginState.holdFrameCaptured, 1);
    }
}

TEST_F(TimeStepDriver, AReappearingBodyResumesTheBurnButNotTheHold) {
    pluginState.attitudeHold = 1;
    pluginState.autoBurn = 1;
    pluginState.totalThrust = 500.0;
    EXPECT_EQ(blocksRun(), (Blocks{"hold", "burn", "figures"}));
    const double shownAcceleration = pluginState.maxAccPerDay;

    control("Shuttle", "Nowhere");
    vessel->emptyMass = 4000.0;  // the figures would change if they ran
    EXPECT_EQ(blocksRun(), Blocks{});
    EXPECT_EQ(pluginState.attitudeHold, 0);
    EXPECT_EQ(pluginState.maxAccPerDay, shownAcceleration);

    control("Shuttle", "Earth");
    EXPECT_EQ(blocksRun(), (Blocks{"burn", "figures"}));
    EXPECT_NE(pluginState.maxAccPerDay, shownAcceleration);
}

TEST_F(TimeStepDriver, SwitchingTheBurnOffLeavesTheEnginesAsTheyWere) {
    pluginState.autoBurn = 1;
    opcPreStep(0.0, 1.0, 51544.5);
    ASSERT_EQ(vessel->vesselInterface().GetThrusterGroupLevel(THGROUP_MAIN), 1.0);  // near periapsis
    pluginState.autoBurn = 0;
    placeOnOrbit(*vessel, earth(), kEarthRadius + 300e3, kEarthRadius + 500e3, 3.0);
    opcPreStep(0.0, 1.0, 51544.5);
    EXPECT_EQ(vessel->vesselInterface().GetThrusterGroupLevel(THGROUP_MAIN), 1.0);
}

}  // namespace
