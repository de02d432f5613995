#include "automation/performance_figures.h"

#include <algorithm>
#include <cmath>

#include "frame/controlled_vessel.h"
#include "frame/plugin_state.h"

namespace {

constexpr double kSecondsPerDay = 86400.0;

// Whether a main thruster before position index draws from resource. The first
// thrusters are in the record's table; any later ones are asked of the host
// again, so that a shared tank counts once in a group of any size without a
// buffer of our own. Groups that fit the table make no extra host call.
bool resourceCountedBefore(const VESSEL& vessel, DWORD index, PROPELLANT_HANDLE resource) {
    const DWORD recorded = std::min<DWORD>(index, kMainThrusterSlots);
    for (DWORD j = 0; j < recorded; ++j)
        if (pluginState.thrusterResource[j] == resource) return true;
    for (DWORD j = kMainThrusterSlots; j < index; ++j)
        if (vessel.GetThrusterResource(vessel.GetGroupThruster(THGROUP_MAIN, j)) == resource) return true;
    return false;
}

}  // namespace

void updatePerformanceFigures() {
    const VESSEL* vessel = controlledVessel();
    if (!vessel) return;
    PluginState& s = pluginState;

    const double mass = vessel->GetMass();  // kg
    s.maxAccPerDay = (s.totalThrust / mass) * kSecondsPerDay;

    const DWORD count = vessel->GetGroupThrusterCount(THGROUP_MAIN);
    s.mainThrusterCount = count;
    for (DWORD i = 0; i < count; ++i) {
        const THRUSTER_HANDLE thruster = vessel->GetGroupThruster(THGROUP_MAIN, i);
        const PROPELLANT_HANDLE resource = vessel->GetThrusterResource(thruster);
        const double propellant = vessel->GetPropellantMass(resource);  // kg
        if (i < kMainThrusterSlots) {
            s.mainThrusters[i] = thruster;
            s.thrusterResource[i] = resource;
            s.thrusterPropellantMass[i] = propellant;
        }
        if (!resourceCountedBefore(*vessel, i, resource)) s.propellantSum = propellant + s.propellantSum;
    }

    // The rocket equation from the present mass to the mass with every main tank empty.
    s.mainDeltaV = s.mainIsp * std::log(mass / (mass - s.propellantSum));
    s.propellantSum = 0.0;
}
