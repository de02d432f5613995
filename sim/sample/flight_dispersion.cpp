#include "sim/sample/flight_dispersion.h"

#include <cmath>

#include "host/world/world.h"

namespace zolksim {

namespace {

// Rodrigues' rotation of v about the unit axis k by angle (rad).
VECTOR3 rotated(const VECTOR3& v, const VECTOR3& k, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return v * c + crossp(k, v) * s + k * (dotp(k, v) * (1.0 - c));
}

}  // namespace

bool applyDispersion(const FlightDispersion& d, simhost::Vessel& vessel, const simhost::Body& body,
                     std::string& error) {
    if (!(d.thrustFactor > 0.0) || !(d.ispFactor > 0.0)) {
        error = "a drawn thrust or ISP factor is not above zero";
        return false;
    }
    const bool engines = d.thrustFactor != 1.0 || d.ispFactor != 1.0 || d.tiltRad != 0.0;
    const std::vector<simhost::Thruster*>* main = vessel.group(THGROUP_MAIN);
    if (engines && (!main || main->empty())) {
        error = vessel.name + " has no main engines to disperse";
        return false;
    }
    if (engines) {
        // The tilt turns each thrust direction about an axis across the nose
        // (vessel +z), at the azimuth from +x: the direction leans by tiltRad.
        const VECTOR3 axis = vec3(-std::sin(d.tiltAzimuthRad), std::cos(d.tiltAzimuthRad), 0.0);
        for (simhost::Thruster* t : *main) {
            t->max0 *= d.thrustFactor;
            t->isp *= d.ispFactor;
            t->dir = rotated(t->dir, axis, d.tiltRad);
        }
    }

    VECTOR3 relPos = vessel.pos - body.state.pos;  // m, global axes
    VECTOR3 relVel = vessel.vel - body.state.vel;  // m/s
    const double r = length(relPos);
    const VECTOR3 normal = crossp(relPos, relVel);
    if (r <= 0.0 || length(normal) <= 0.0) {
        error = vessel.name + "'s orbit is radial and has no frame for its state errors";
        return false;
    }
    const VECTOR3 radial = relPos * (1.0 / r);
    const VECTOR3 cross = unit(normal);
    const VECTOR3 along = crossp(cross, radial);
    relPos = relPos + radial * d.radialM + along * d.alongM + cross * d.crossM;
    relVel = relVel + radial * d.radialMps + along * d.alongMps + cross * d.crossMps;

    // A later start: the bodies move on to the new date, the vessel keeps its
    // state relative to its body.
    if (d.startDelayDays != 0.0) {
        simhost::World& world = simhost::world();
        world.setStartMjd(world.mjd() + d.startDelayDays);
    }
    vessel.pos = body.state.pos + relPos;
    vessel.vel = body.state.vel + relVel;
    return true;
}

}  // namespace zolksim
