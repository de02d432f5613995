#include "host/physics/vessel_dynamics.h"

#include "host/physics/thrust.h"

namespace simhost {

namespace {

// One RK4 step from s0 to s1 seconds into the step, h = s1 - s0 (passed apart
// so that s1 hits the step's end exactly), of the state rel relative to body
// ref (global axes), under the burn's fixed force with the mass falling from
// mass0 (kg) at its mass flow.
void rk4(StateVectors& rel, int ref, double s0, double s1, double h, const Burn& burn, double mass0,
         StepGravity& gravity) {
    const VECTOR3& force = burn.force;
    const bool thrusting = (force.x != 0.0 || force.y != 0.0 || force.z != 0.0) && mass0 - burn.massFlow * h > 0.0;
    auto acceleration = [&](double s, double since, const VECTOR3& relPos) {
        const VECTOR3 g = gravity.acceleration(ref, s, relPos);
        return thrusting ? g + force * (1.0 / (mass0 - burn.massFlow * since)) : g;
    };
    const double half = 0.5 * h;
    // Stage positions r1..r4 (m) and velocities v1..v4 (m/s) relative to ref;
    // accelerations a1..a4 (m/s^2); all in global axes.
    const VECTOR3 r1 = rel.pos, v1 = rel.vel;
    const VECTOR3 a1 = acceleration(s0, 0.0, r1);
    const VECTOR3 r2 = r1 + v1 * half, v2 = v1 + a1 * half;
    const VECTOR3 a2 = acceleration(s0 + half, half, r2);
    const VECTOR3 r3 = r1 + v2 * half, v3 = v1 + a2 * half;
    const VECTOR3 a3 = acceleration(s0 + half, half, r3);
    const VECTOR3 r4 = r1 + v3 * h, v4 = v1 + a3 * h;
    const VECTOR3 a4 = acceleration(s1, h, r4);
    rel.pos = r1 + (v1 + 2.0 * (v2 + v3) + v4) * (h / 6.0);
    rel.vel = v1 + (a1 + 2.0 * (a2 + a3) + a4) * (h / 6.0);
}

}  // namespace

StateVectors relativeState(const Vessel& vessel, int ref, const StateVectors* bodies, std::size_t count) {
    return inlineRelativeState(vessel, ref, bodies, count);
}

void integrateVessel(Vessel& vessel, double dt, StepGravity& gravity, int reference) {
    if (!(dt > 0.0) && !(dt < 0.0)) return;  // none, or NaN
    // The state relative to the reference body over the whole step, kept so
    // at its end with its global form beside it.
    const int ref = reference == kByInfluence ? gravity.referenceBody(vessel.pos, vessel.relative.ref) : reference;
    StateVectors rel{vessel.pos, vessel.vel};  // relative to ref (or global without bodies)
    if (ref >= 0) rel = inlineRelativeState(vessel, ref, gravity.startStates(), gravity.bodyCount());
    if (dt < 0.0) {  // back in time: coast, tanks do not refill
        const Burn coast{vec3(0, 0, 0), 0.0, 0.0};
        rk4(rel, ref, 0.0, dt, dt, coast, vessel.mass(), gravity);
    } else {
        // Each part but the last empties at least one tank, so the loop ends.
        for (double s0 = 0.0;;) {
            const Burn burn = currentBurn(vessel);
            const bool tankRunsDry = burn.duration < dt - s0;
            const double h = tankRunsDry ? burn.duration : dt - s0;
            const double s1 = tankRunsDry ? s0 + h : dt;
            rk4(rel, ref, s0, s1, h, burn, vessel.mass(), gravity);
            if (burn.massFlow != 0.0) drawPropellant(vessel, h);  // else no tank is drawn
            if (!tankRunsDry) break;
            s0 = s1;
        }
    }
    vessel.relative = RelativeState{ref, rel.pos, rel.vel};
    if (ref >= 0) {
        const StateVectors& origin = gravity.bodyState(ref, dt);
        rel = StateVectors{origin.pos + rel.pos, origin.vel + rel.vel};  // global again
    }
    vessel.pos = rel.pos;
    vessel.vel = rel.vel;
}

}  // namespace simhost
