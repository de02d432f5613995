#include "host/physics/navigation_modes.h"

namespace simhost {

namespace {

// The pointing mode in charge (the highest active of PROGRADE..ANTINORMAL), 0 for none.
int pointingMode(const Vessel& vessel) {
    for (int mode = NAVMODE_ANTINORMAL; mode >= NAVMODE_PROGRADE; --mode)
        if (vessel.navmode(mode)) return mode;
    return 0;
}

// Where the mode wants +z (global, not normalised), from the position r and
// velocity v relative to the dominant body.
VECTOR3 pointingDirection(int mode, const VECTOR3& r, const VECTOR3& v) {
    switch (mode) {
        case NAVMODE_PROGRADE: return v;
        case NAVMODE_RETROGRADE: return -v;
        case NAVMODE_NORMAL: return crossp(r, v);
        default: return -crossp(r, v);  // NAVMODE_ANTINORMAL
    }
}

void pointAlong(Vessel& vessel, int mode, const BodySnapshot& bodies) {
    const int reference = dominantBody(vessel.pos, bodies);
    if (reference < 0) return;
    const StateVectors& body = bodies.states[reference];
    const VECTOR3 target = pointingDirection(mode, vessel.pos - body.pos, vessel.vel - body.vel);
    const double size = length(target);
    if (!(size > 0.0) || !std::isfinite(size)) return;
    const VECTOR3 nose = unit(vessel.rot * vec3(0, 0, 1));
    const VECTOR3 wing = vessel.rot * vec3(1, 0, 0);
    vessel.rot = orthonormalized(smallestRotation(nose, target * (1.0 / size), wing) * vessel.rot);
}

}  // namespace

void updateAttitude(Vessel& vessel, double dt, const BodySnapshot& bodies) {
    if (vessel.navmode(NAVMODE_KILLROT)) vessel.angVel = vec3(0, 0, 0);
    if (const int mode = pointingMode(vessel)) {
        vessel.angVel = vec3(0, 0, 0);
        pointAlong(vessel, mode, bodies);
        return;
    }
    // Constant rate in vessel axes: R(t + dt) = R(t) * rotation(omega * dt).
    const double rate = length(vessel.angVel);  // rad/s
    if (!(rate > 0.0) || dt == 0.0) return;
    vessel.rot = orthonormalized(vessel.rot * axisAngleRotation(vessel.angVel * (1.0 / rate), rate * dt));
}

}  // namespace simhost
