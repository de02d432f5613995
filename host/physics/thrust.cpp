#include "host/physics/thrust.h"

#include <algorithm>
#include <limits>

namespace simhost {

namespace {

double thrustOf(const Thruster& thruster) { return thruster.max0 * thruster.level; }  // N

// Mass flow out of one tank (kg/s): thrust / isp summed over its burning thrusters.
double drawRate(const Vessel& vessel, const Propellant* tank) {
    double rate = 0.0;
    for (const auto& thruster : vessel.thrusters)
        if (thruster->resource == tank && burns(*thruster)) rate += thrustOf(*thruster) / thruster->isp;
    return rate;
}

}  // namespace

bool burns(const Thruster& thruster) {
    return thruster.level > 0.0 && thruster.max0 > 0.0 && thruster.isp > 0.0 && thruster.resource &&
           thruster.resource->mass > 0.0;
}

Burn currentBurn(const Vessel& vessel) {
    Burn burn{vec3(0, 0, 0), 0.0, std::numeric_limits<double>::infinity()};
    for (const auto& thruster : vessel.thrusters) {
        if (!burns(*thruster)) continue;
        burn.force = burn.force + vessel.rot * thruster->dir * thrustOf(*thruster);
        burn.massFlow += thrustOf(*thruster) / thruster->isp;
    }
    // Every burning thruster's flow is positive: with none in all, no tank is drawn.
    if (burn.massFlow == 0.0) return burn;
    for (const auto& tank : vessel.propellants)
        if (const double rate = drawRate(vessel, tank.get()); rate > 0.0)
            burn.duration = std::min(burn.duration, tank->mass / rate);
    return burn;
}

void drawPropellant(Vessel& vessel, double h) {
    for (const auto& tank : vessel.propellants) {
        const double rate = drawRate(vessel, tank.get());
        if (rate <= 0.0) continue;
        tank->mass = tank->mass / rate <= h ? 0.0 : std::max(0.0, tank->mass - rate * h);
    }
}

}  // namespace simhost
