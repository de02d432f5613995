#include <gtest/gtest.h>

#include <cstring>

#include "frame/plugin_state.h"

// Every case that drives the module starts from a reset record, so the reset
// must reach every field, including the tables and the name texts.
TEST(PluginState, ResetReturnsEveryFieldToItsStateAtLoad) {
    std::memset(&pluginState, 0x5A, sizeof pluginState);
    resetPluginState();
    const PluginState zero{};
    EXPECT_EQ(pluginState.attitudeHold, 0);
    EXPECT_EQ(pluginState.autoBurn, 0);
    EXPECT_EQ(pluginState.holdFrameCaptured, 0);
    EXPECT_STREQ(pluginState.refName, "");
    EXPECT_STREQ(pluginState.vesselName, "");
    EXPECT_EQ(pluginState.refBody, nullptr);
    EXPECT_EQ(pluginState.mainThrusterCount, 0u);
    for (std::uint32_t i = 0; i < kMainThrusterSlots; ++i) {
        EXPECT_EQ(pluginState.mainThrusters[i], nullptr);
        EXPECT_EQ(pluginState.thrusterResource[i], nullptr);
        EXPECT_EQ(pluginState.thrusterMaxThrust[i], 0.0);
        EXPECT_EQ(pluginState.thrusterPropellantMass[i], 0.0);
    }
    EXPECT_EQ(pluginState.holdLocalOffsetZ.z, 0.0);
    EXPECT_EQ(pluginState.thrustEntry, 0.0f);
    EXPECT_EQ(pluginState.statusIsp, 0.0);
    EXPECT_EQ(std::memcmp(pluginState.vesselName, zero.vesselName, sizeof zero.vesselName), 0);
}
