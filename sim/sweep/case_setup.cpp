#include "sim/sweep/case_setup.h"

#include <cmath>

namespace zolksim {

namespace {

constexpr double kKm = 1000.0;  // m

// The orbit frame's axes in global coordinates: forward along the velocity
// relative to the body, side = forward x unit(r), up = side x forward.
struct OrbitAxes {
    VECTOR3 forward, side, up;
};

OrbitAxes orbitAxes(const VECTOR3& relPos, const VECTOR3& relVel) {
    const VECTOR3 forward = unit(relVel);
    const VECTOR3 side = unit(crossp(forward, unit(relPos)));
    return {forward, side, crossp(side, forward)};
}

VECTOR3 intoAxes(const OrbitAxes& a, const VECTOR3& global) {
    return vec3(dotp(a.forward, global), dotp(a.side, global), dotp(a.up, global));
}

VECTOR3 outOfAxes(const OrbitAxes& a, const VECTOR3& local) {
    return a.forward * local.x + a.side * local.y + a.up * local.z;
}

bool setOrbit(simhost::Vessel& vessel, const simhost::Body& body, double periapsisKm, double apoapsisKm,
              std::string& error) {
    const VECTOR3 relPos = vessel.pos - body.state.pos;  // m, global axes
    const VECTOR3 relVel = vessel.vel - body.state.vel;  // m/s
    const double mu = body.gm;
    const double rp = body.radius + periapsisKm * kKm, ra = body.radius + apoapsisKm * kKm;
    if (rp > ra) {
        error = "the periapsis lies above the apoapsis";
        return false;
    }
    if (length(crossp(relPos, relVel)) <= 0.0) {
        error = "the vessel's orbit is radial and has no plane to keep";
        return false;
    }
    // The periapsis direction: the eccentricity vector, or where the vessel is
    // on a circular orbit.
    const double r = length(relPos), v2 = dotp(relVel, relVel);
    const VECTOR3 eccentricity = (relPos * (v2 - mu / r) - relVel * dotp(relPos, relVel)) * (1.0 / mu);
    const VECTOR3 toPeriapsis = length(eccentricity) > 1e-9 ? unit(eccentricity) : unit(relPos);
    const VECTOR3 normal = unit(crossp(relPos, relVel));
    const double a = (rp + ra) / 2;
    const double speed = std::sqrt(mu * (2 / rp - 1 / a));  // vis-viva at periapsis, m/s

    const OrbitAxes before = orbitAxes(relPos, relVel);
    const VECTOR3 newPos = toPeriapsis * rp, newVel = crossp(normal, toPeriapsis) * speed;
    const OrbitAxes after = orbitAxes(newPos, newVel);
    // Each attitude axis (a column of the rotation) keeps its place in the orbit frame.
    for (int column = 0; column < 3; ++column) {
        const VECTOR3 axis = outOfAxes(
            after, intoAxes(before, vec3(vessel.rot.m[0][column], vessel.rot.m[1][column], vessel.rot.m[2][column])));
        vessel.rot.m[0][column] = axis.x;
        vessel.rot.m[1][column] = axis.y;
        vessel.rot.m[2][column] = axis.z;
    }
    vessel.pos = body.state.pos + newPos;
    vessel.vel = body.state.vel + newVel;
    return true;
}

}  // namespace

bool applyCase(const std::vector<VariedParameter>& varied, const std::vector<double>& values, simhost::Vessel& vessel,
               const simhost::Body& body, std::string& error) {
    const std::vector<simhost::Thruster*>* main = vessel.group(THGROUP_MAIN);
    double periapsisKm = NAN, apoapsisKm = NAN;
    for (std::size_t p = 0; p < varied.size(); ++p) {
        const double x = values[p];
        switch (varied[p].parameter) {
            case StudyParameter::Thrust:
            case StudyParameter::Isp:
                if (!main || main->empty()) {
                    error = vessel.name + " has no main engines to set";
                    return false;
                }
                for (simhost::Thruster* t : *main) {
                    if (varied[p].parameter == StudyParameter::Thrust) t->max0 = x / static_cast<double>(main->size());
                    else t->isp = x;
                }
                break;
            case StudyParameter::Propellant: {
                double capacity = 0.0;
                for (const auto& tank : vessel.propellants) capacity += tank->maxMass;
                if (vessel.propellants.empty() || capacity <= 0.0) {
                    error = vessel.name + " has no tank to fill";
                    return false;
                }
                for (const auto& tank : vessel.propellants) {
                    tank->mass = x * tank->maxMass / capacity;
                    tank->maxMass = std::max(tank->maxMass, tank->mass);
                }
                break;
            }
            case StudyParameter::DryMass: vessel.emptyMass = x; break;
            case StudyParameter::Periapsis: periapsisKm = x; break;
            case StudyParameter::Apoapsis: apoapsisKm = x; break;
            case StudyParameter::Step: break;  // the flight's, not the vessel's
        }
    }
    if (std::isnan(periapsisKm) && std::isnan(apoapsisKm)) return true;
    if (std::isnan(periapsisKm) || std::isnan(apoapsisKm)) {
        ELEMENTS elements{};
        ORBITPARAM orbit{};
        if (!vessel.vesselInterface().GetElements(const_cast<simhost::Body*>(&body), elements, &orbit, 0.0, FRAME_ECL) ||
            elements.e >= 1.0) {
            error = vessel.name + " is on no closed orbit to keep the other altitude of";
            return false;
        }
        if (std::isnan(periapsisKm)) periapsisKm = (orbit.PeD - body.radius) / kKm;
        if (std::isnan(apoapsisKm)) apoapsisKm = (orbit.ApD - body.radius) / kKm;
    }
    return setOrbit(vessel, body, periapsisKm, apoapsisKm, error);
}

}  // namespace zolksim
