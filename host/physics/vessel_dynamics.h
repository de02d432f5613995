// A vessel's motion over one time step under gravity and its own thrust.
#pragma once

#include "host/physics/step_gravity.h"
#include "host/world/vessel.h"

namespace simhost {

// Moves the vessel over dt seconds (the step that gravity was begun for) and
// burns its propellant. The motion is integrated relative to the step's
// reference body (StepGravity::referenceBody, kept while the vessel is near
// the edge of its sphere of influence) under its pull and the others'
// tides. The step is split where a tank runs dry, and each part
// is one classic RK4 step on position and velocity with the thrust fixed in
// global axes and the mass falling linearly, so propellant used and velocity
// gained follow the burn exactly. A negative dt coasts back without thrust.
// A vessel without dry mass gets no thrust from the burn that would leave it
// massless (the rocket equation has no finite answer there).
// The vessel's position and velocity relative to body ref is kept between
// steps (Vessel::relative), so that nothing is rounded at the bodies' distance
// from the origin; pos and vel are set to its global form after each step.
// reference names the body to integrate about instead (a body's index), for
// comparing one path integrated about two bodies.
constexpr int kByInfluence = -2;
OAPIFUNC void integrateVessel(Vessel& vessel, double dt, StepGravity& gravity, int reference = kByInfluence);

// Whether the vessel's kept relative state is current against the bodies'
// global states bodies[0..count): pos and vel are still exactly its global
// form about its body as that body is now. Inline: the host's answers about a
// vessel's orbit ask it several times a step.
inline bool keptStateCurrent(const Vessel& vessel, const StateVectors* bodies, std::size_t count) {
    const RelativeState& kept = vessel.relative;
    if (kept.ref < 0 || static_cast<std::size_t>(kept.ref) >= count) return false;
    const StateVectors& from = bodies[kept.ref];
    const VECTOR3 pos = from.pos + kept.pos, vel = from.vel + kept.vel;
    return vessel.pos.x == pos.x && vessel.pos.y == pos.y && vessel.pos.z == pos.z && vessel.vel.x == vel.x &&
           vessel.vel.y == vel.y && vessel.vel.z == vel.z;
}

// The vessel's state relative to body ref (global axes), given the bodies'
// global states now (bodies[0..count)). When the kept relative state is
// current (pos and vel are still exactly its global form about its body as
// that body is now) it is taken, shifted by the difference between its body
// and ref when those differ; otherwise the global state minus ref's.
OAPIFUNC StateVectors relativeState(const Vessel& vessel, int ref, const StateVectors* bodies, std::size_t count);
// The same, inline, for the host's own per-step callers.
inline StateVectors inlineRelativeState(const Vessel& vessel, int ref, const StateVectors* bodies, std::size_t count) {
    const RelativeState& kept = vessel.relative;
    const StateVectors& to = bodies[ref];
    if (keptStateCurrent(vessel, bodies, count)) {
        if (kept.ref == ref) return StateVectors{kept.pos, kept.vel};
        // The bodies' offset is rounded at their distance from each other only.
        const StateVectors& from = bodies[kept.ref];
        return StateVectors{kept.pos + (from.pos - to.pos), kept.vel + (from.vel - to.vel)};
    }
    return StateVectors{vessel.pos - to.pos, vessel.vel - to.vel};
}

}  // namespace simhost
