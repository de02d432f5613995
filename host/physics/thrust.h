// What a vessel's thrusters give and take: force, and propellant from the tanks.
#pragma once

#include "host/world/vessel.h"

namespace simhost {

// Whether a thruster burns now: a positive level, rating and isp, and a tank
// with propellant in it.
bool burns(const Thruster& thruster);

// The vessel's thrusters as they burn now. The force stays the same until the
// first tank runs dry: attitude, levels and ratings do not change within a step.
struct Burn {
    VECTOR3 force;    // global (N)
    double massFlow;  // propellant flow of all burning thrusters (kg/s)
    double duration;  // until the first tank runs dry (s); infinite when none is drawn
};
Burn currentBurn(const Vessel& vessel);

// Takes h seconds of the current burn from the vessel's own tanks (the only
// ones a thruster is given). A tank whose time left (as in Burn::duration) is
// at most h ends at exactly 0 kg.
void drawPropellant(Vessel& vessel, double h);

}  // namespace simhost
