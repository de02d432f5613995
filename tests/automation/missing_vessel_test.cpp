// A vessel name that names no vessel (restored from a scenario, or a vessel that
// has gone): every operation on the vessel makes no call on any vessel and
// leaves the record, thrusters and attitude exactly as they were.
#include <gtest/gtest.h>

#include <functional>

#include "automation/attitude_hold.h"
#include "automation/auto_burn.h"
#include "automation/performance_figures.h"
#include "engine/main_engine.h"
#include "tests/support/module_test.h"

namespace {

class MissingVessel : public ModuleTest {};

TEST_F(MissingVessel, NoOperationTouchesAnythingWithoutAVesselOfThatName) {
    simhost::Vessel& other = addVessel("Bystander", 1000.0);
    simhost::Thruster* thruster = addMainThruster(other, 100.0, 3000.0, other.addPropellant(10, 10));
    other.pos = earth().state.pos + vec3(7e6, 0, 0);
    other.vel = earth().state.vel + vec3(0, 7500, 0);
    other.rot = simhost::rotationFromAngles(vec3(0.1, 0.2, 0.3));
    thruster->level = 0.5;
    const simhost::Mat3 attitude = other.rot;

    control("Nobody", "Earth");
    pluginState.totalThrust = 100.0;
    pluginState.mainIsp = 3000.0;
    pluginState.maxAccPerDay = 12.0;
    pluginState.mainDeltaV = 34.0;
    pluginState.mainThrusterCount = 1;

    const std::pair<const char*, std::function<void()>> operations[] = {
        {"updateAttitudeHold", updateAttitudeHold},
        {"updateAutoBurn", updateAutoBurn},
        {"updatePerformanceFigures", updatePerformanceFigures},
        {"readMainThrust", readMainThrust},
        {"readMainIsp", readMainIsp},
        {"applyTotalThrust", [] { applyTotalThrust(9.0); }},
        {"applyIsp", [] { applyIsp(9.0); }},
    };
    for (const auto& [name, operation] : operations) {
        SCOPED_TRACE(name);
        const RecordBytes before = recordBytes();
        startTrace();
        operation();
        EXPECT_EQ(tracedCalls(), std::vector<std::string>{"oapiGetVesselByName"});
        EXPECT_EQ(recordBytes(), before);
    }
    EXPECT_EQ(thruster->max0, 100.0);
    EXPECT_EQ(thruster->isp, 3000.0);
    EXPECT_EQ(thruster->level, 0.5);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(other.rot.m[i][j], attitude.m[i][j]);
}

}  // namespace
