#include "engine/main_engine.h"

#include "frame/controlled_vessel.h"
#include "frame/plugin_state.h"

namespace {

// Thruster index of the main group; the record's tables keep the first few.
THRUSTER_HANDLE mainThruster(const VESSEL& vessel, DWORD index) {
    const THRUSTER_HANDLE thruster = vessel.GetGroupThruster(THGROUP_MAIN, index);
    if (index < kMainThrusterSlots) pluginState.mainThrusters[index] = thruster;
    return thruster;
}

}  // namespace

void readMainThrust() {
    const VESSEL* vessel = controlledVessel();
    if (!vessel) return;
    PluginState& s = pluginState;
    s.totalThrust = 0.0;
    const DWORD count = vessel->GetGroupThrusterCount(THGROUP_MAIN);
    for (DWORD i = 0; i < count; ++i) {
        const double maxThrust = vessel->GetThrusterMax0(mainThruster(*vessel, i));  // N
        if (i < kMainThrusterSlots) s.thrusterMaxThrust[i] = maxThrust;
        s.totalThrust = s.totalThrust + maxThrust;
    }
}

void readMainIsp() {
    const VESSEL* vessel = controlledVessel();
    if (!vessel) return;
    PluginState& s = pluginState;
    s.ispSum = 0.0;
    const DWORD count = vessel->GetGroupThrusterCount(THGROUP_MAIN);
    s.mainThrusterCount = count;
    for (DWORD i = 0; i < count; ++i) {
        const double isp = vessel->GetThrusterIsp(mainThruster(*vessel, i));  // N*s/kg
        if (i < kMainThrusterSlots) s.thrusterIsp[i] = isp;
        s.ispSum = s.ispSum + isp;
    }
    s.mainIsp = s.ispSum / static_cast<double>(count);
}

void applyTotalThrust(double total) {
    const VESSEL* vessel = controlledVessel();
    if (!vessel) return;
    PluginState& s = pluginState;
    const DWORD count = vessel->GetGroupThrusterCount(THGROUP_MAIN);
    s.mainThrusterCount = count;
    for (DWORD i = 0; i < count; ++i)
        vessel->SetThrusterMax0(mainThruster(*vessel, i), total / static_cast<double>(count));
    s.totalThrust = total;
}

void applyIsp(double isp) {
    const VESSEL* vessel = controlledVessel();
    if (!vessel) return;
    PluginState& s = pluginState;
    const DWORD count = vessel->GetGroupThrusterCount(THGROUP_MAIN);
    s.mainThrusterCount = count;
    for (DWORD i = 0; i < count; ++i) vessel->SetThrusterIsp(mainThruster(*vessel, i), isp);
    s.mainIsp = isp;
}
