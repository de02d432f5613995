// The world every fuzz run starts from: the built-in bodies and a tug with two
// main thrusters on one tank, named in a freshly zeroed record.
#pragma once

#include <cstring>

#include "frame/plugin_state.h"
#include "host/world/world.h"

inline void resetFuzzWorld() {
    static bool built = false;
    simhost::World& w = simhost::world();
    if (!built) {
        w.addBuiltInBodies();
        simhost::Vessel* tug = w.addVessel("Ion Tug");
        tug->emptyMass = 1000.0;
        simhost::Propellant* tank = tug->addPropellant(500.0, 500.0);
        for (double x : {-1.0, 1.0}) {
            simhost::Thruster* thruster = tug->addThruster(vec3(x, 0, -2), vec3(0, 0, 1), 2.0, 30000.0, tank);
            tug->addToGroup(THGROUP_MAIN, thruster);
        }
        w.setFocus(tug);
        built = true;
    }
    for (const auto& thruster : w.findVessel("Ion Tug")->thrusters) {
        thruster->max0 = 2.0;
        thruster->isp = 30000.0;
    }
    resetPluginState();
    std::strcpy(pluginState.vesselName, "Ion Tug");
    std::strcpy(pluginState.refName, "Earth");
}
