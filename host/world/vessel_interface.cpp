// The VESSEL interface: the module's view of one host vessel. Handles passed in
// are checked against the vessel's own thrusters and tanks and the world's objects.
#include <algorithm>
#include <limits>

#include "host/physics/kepler.h"
#include "host/physics/vessel_dynamics.h"
#include "host/world/trace_record.h"
#include "host/world/world.h"

using simhost::Propellant;
using simhost::Thruster;
using simhost::Vessel;
using simhost::world;
using simhost::detail::objectText;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTwoPi = 6.283185307179586;

// The host creates every VESSEL for one of its own vessels.
Vessel& vesselOf(OBJHANDLE handle) { return *static_cast<Vessel*>(static_cast<simhost::Object*>(handle)); }

Thruster* thrusterOf(const Vessel& v, THRUSTER_HANDLE th) {
    const int index = v.thrusterIndex(th);
    return index < 0 ? nullptr : v.thrusters[static_cast<std::size_t>(index)].get();
}

Propellant* propellantOf(const Vessel& v, PROPELLANT_HANDLE ph) {
    const int index = v.propellantIndex(ph);
    return index < 0 ? nullptr : v.propellants[static_cast<std::size_t>(index)].get();
}

std::string thrusterText(const Vessel& v, THRUSTER_HANDLE th) {
    if (!th) return "null";
    const int index = v.thrusterIndex(th);
    return index < 0 ? "?" : "th" + std::to_string(index);
}

std::string propellantText(const Vessel& v, PROPELLANT_HANDLE ph) {
    if (!ph) return "null";
    const int index = v.propellantIndex(ph);
    return index < 0 ? "?" : "tank" + std::to_string(index);
}

// Global position and velocity of any object of the world; false for an unknown handle.
bool globalState(OBJHANDLE h, simhost::StateVectors& out) {
    if (const simhost::Body* body = world().bodyFromHandle(h)) {
        out = body->state;
        return true;
    }
    if (const Vessel* vessel = world().vesselFromHandle(h)) {
        out = {vessel->pos, vessel->vel};
        return true;
    }
    return false;
}

// Index of the body behind handle h in the world's bodies, -1 for none.
int bodyIndex(const simhost::World& w, OBJHANDLE h) {
    const auto& bodies = w.bodies();
    for (std::size_t i = 0; i < bodies.size(); ++i)
        if (static_cast<const simhost::Object*>(bodies[i].get()) == h) return static_cast<int>(i);
    return -1;
}

// The vessel's state relative to body index i, as the integrator keeps it (no
// rounding at the body's distance from the origin).
simhost::StateVectors stateAboutBody(const simhost::World& w, const Vessel& v, int i) {
    const auto& states = w.bodyStates();
    return simhost::inlineRelativeState(v, i, states.data(), states.size());
}

// One half of the vessel's state relative to object h (Half::of picks position
// or velocity), without working out the other half: about a body as the
// integrator keeps it (simhost::relativeState), about a vessel as the
// difference of the global states; NaN components for an unknown handle.
struct PositionHalf {
    static const VECTOR3& of(const simhost::StateVectors& s) { return s.pos; }
    static const VECTOR3& of(const simhost::RelativeState& s) { return s.pos; }
    static const VECTOR3& of(const Vessel& v) { return v.pos; }
};
struct VelocityHalf {
    static const VECTOR3& of(const simhost::StateVectors& s) { return s.vel; }
    static const VECTOR3& of(const simhost::RelativeState& s) { return s.vel; }
    static const VECTOR3& of(const Vessel& v) { return v.vel; }
};

template <class Half>
VECTOR3 relativeHalf(const Vessel& v, OBJHANDLE h) {
    const simhost::World& w = world();
    if (const int i = bodyIndex(w, h); i >= 0) {
        const auto& states = w.bodyStates();
        const simhost::StateVectors& to = states[static_cast<std::size_t>(i)];
        if (simhost::keptStateCurrent(v, states.data(), states.size())) {
            const simhost::RelativeState& kept = v.relative;
            if (kept.ref == i) return Half::of(kept);
            return Half::of(kept) + (Half::of(states[static_cast<std::size_t>(kept.ref)]) - Half::of(to));
        }
        return Half::of(v) - Half::of(to);
    }
    simhost::StateVectors other{};
    if (!globalState(h, other)) return vec3(kNaN, kNaN, kNaN);
    return Half::of(v) - Half::of(other);
}

bool acceptable(double value) { return std::isfinite(value) && value >= 0.0; }

double clampLevel(double level) { return std::isnan(level) ? 0.0 : std::clamp(level, 0.0, 1.0); }

}  // namespace

VESSEL::VESSEL(OBJHANDLE hVessel, int /*fmodel*/) : handle_(hVessel) {}

char* VESSEL::GetName() const { return vesselOf(handle_).name.data(); }

bool VESSEL::ActivateNavmode(int mode) {
    HOST_TRACE("ActivateNavmode", mode);
    return vesselOf(handle_).setNavmode(mode, true);
}

bool VESSEL::DeactivateNavmode(int mode) {
    const auto work = [this, mode] { return vesselOf(handle_).setNavmode(mode, false); };
    HOST_TRACE_THEN(work, "DeactivateNavmode", mode);
    return work();
}

bool VESSEL::GetNavmodeState(int mode) { return vesselOf(handle_).navmode(mode); }

void VESSEL::Local2Global(const VECTOR3& local, VECTOR3& global) const {
    const auto work = [this, &local, &global] {
        const Vessel& v = vesselOf(handle_);
        global = v.rot * local + v.pos;
    };
    HOST_TRACE_THEN(work, "Local2Global", local);
    work();
}

void VESSEL::Global2Local(const VECTOR3& global, VECTOR3& local) const {
    HOST_TRACE("Global2Local", global);
    const Vessel& v = vesselOf(handle_);
    local = simhost::transposeTimes(v.rot, global - v.pos);
}

void VESSEL::GlobalRot(const VECTOR3& rloc, VECTOR3& rglob) const {
    HOST_TRACE("GlobalRot", rloc);
    rglob = vesselOf(handle_).rot * rloc;
}

void VESSEL::GetGlobalPos(VECTOR3& pos) const {
    const auto work = [this, &pos] { pos = vesselOf(handle_).pos; };
    HOST_TRACE_THEN(work, "GetGlobalPos");
    work();
}

void VESSEL::GetGlobalVel(VECTOR3& vel) const {
    HOST_TRACE("GetGlobalVel");
    vel = vesselOf(handle_).vel;
}

// An unknown reference gives NaN components rather than a plausible vector.
void VESSEL::GetRelativePos(OBJHANDLE hRef, VECTOR3& pos) const {
    HOST_TRACE("GetRelativePos", objectText(hRef));
    pos = relativeHalf<PositionHalf>(vesselOf(handle_), hRef);
}

void VESSEL::GetRelativeVel(OBJHANDLE hRef, VECTOR3& vel) const {
    HOST_TRACE("GetRelativeVel", objectText(hRef));
    vel = relativeHalf<VelocityHalf>(vesselOf(handle_), hRef);
}

void VESSEL::SetGlobalOrientation(const VECTOR3& arot) const {
    const auto work = [this, &arot] { vesselOf(handle_).rot = simhost::rotationFromAngles(arot); };
    HOST_TRACE_THEN(work, "SetGlobalOrientation", arot);
    work();
}

void VESSEL::GetGlobalOrientation(VECTOR3& arot) const { arot = simhost::anglesFromRotation(vesselOf(handle_).rot); }

void VESSEL::SetAngularVel(const VECTOR3& avel) const {
    const auto work = [this, &avel] { vesselOf(handle_).angVel = avel; };
    HOST_TRACE_THEN(work, "SetAngularVel", avel);
    work();
}

void VESSEL::GetAngularVel(VECTOR3& avel) const { avel = vesselOf(handle_).angVel; }

bool VESSEL::GetElements(OBJHANDLE hRef, ELEMENTS& el, ORBITPARAM* prm, double mjd_ref, int frame) const {
    HOST_TRACE("GetElements", objectText(hRef), mjd_ref, frame);
    const simhost::World& w = world();
    const int i = bodyIndex(w, hRef);
    if (i < 0 || frame != FRAME_ECL) return false;
    const simhost::StateVectors rel = stateAboutBody(w, vesselOf(handle_), i);
    ORBITPARAM local;  // filled whole by elementsFromState when it succeeds
    ORBITPARAM& out = prm ? *prm : local;
    if (!simhost::elementsFromState(rel.pos, rel.vel, w.bodies()[static_cast<std::size_t>(i)]->gm, el, &out))
        return false;
    // The mean longitude at another reference date, on a closed orbit.
    if (mjd_ref != 0.0 && std::isfinite(out.T) && out.T > 0.0) {
        const double shift = kTwoPi * (world().mjd() - mjd_ref) * simhost::kSecondsPerDay / out.T;
        el.L = std::fmod(std::fmod(el.L - shift, kTwoPi) + kTwoPi, kTwoPi);
    }
    return true;
}

double VESSEL::GetMass() const {
    const auto work = [this] { return vesselOf(handle_).mass(); };
    HOST_TRACE_THEN(work, "GetMass");
    return work();
}

DWORD VESSEL::GetGroupThrusterCount(THGROUP_TYPE group) const {
    const auto work = [this, group] {
        const auto* members = vesselOf(handle_).group(group);
        return members ? static_cast<DWORD>(members->size()) : DWORD{0};
    };
    HOST_TRACE_THEN(work, "GetGroupThrusterCount", static_cast<int>(group));
    return work();
}

THRUSTER_HANDLE VESSEL::GetGroupThruster(THGROUP_TYPE group, DWORD index) const {
    const auto work = [this, group, index]() -> THRUSTER_HANDLE {
        const auto* members = vesselOf(handle_).group(group);
        return members && index < members->size() ? (*members)[index] : nullptr;
    };
    HOST_TRACE_THEN(work, "GetGroupThruster", static_cast<int>(group), static_cast<unsigned>(index));
    return work();
}

void VESSEL::SetThrusterGroupLevel(THGROUP_TYPE group, double level) const {
    HOST_TRACE("SetThrusterGroupLevel", static_cast<int>(group), level);
    if (const auto* members = vesselOf(handle_).group(group))
        for (Thruster* th : *members) th->level = clampLevel(level);
}

double VESSEL::GetThrusterGroupLevel(THGROUP_TYPE group) const {
    const auto* members = vesselOf(handle_).group(group);
    if (!members || members->empty()) return 0.0;
    double sum = 0.0;
    for (const Thruster* th : *members) sum += th->level;
    return sum / static_cast<double>(members->size());
}

PROPELLANT_HANDLE VESSEL::GetThrusterResource(THRUSTER_HANDLE th) const {
    const auto work = [this, th]() -> PROPELLANT_HANDLE {
        const Thruster* thruster = thrusterOf(vesselOf(handle_), th);
        return thruster ? thruster->resource : nullptr;
    };
    HOST_TRACE_THEN(work, "GetThrusterResource", thrusterText(vesselOf(handle_), th));
    return work();
}

double VESSEL::GetPropellantMass(PROPELLANT_HANDLE ph) const {
    const auto work = [this, ph] {
        const Propellant* tank = propellantOf(vesselOf(handle_), ph);
        return tank ? tank->mass : 0.0;
    };
    HOST_TRACE_THEN(work, "GetPropellantMass", propellantText(vesselOf(handle_), ph));
    return work();
}

double VESSEL::GetThrusterMax0(THRUSTER_HANDLE th) const {
    const Vessel& v = vesselOf(handle_);
    HOST_TRACE("GetThrusterMax0", thrusterText(v, th));
    const Thruster* thruster = thrusterOf(v, th);
    return thruster ? thruster->max0 : 0.0;
}

// The host keeps only physically meaningful ratings: non-finite or negative values are ignored.
void VESSEL::SetThrusterMax0(THRUSTER_HANDLE th, double maxth0) const {
    const Vessel& v = vesselOf(handle_);
    HOST_TRACE("SetThrusterMax0", thrusterText(v, th), maxth0);
    if (Thruster* thruster = thrusterOf(v, th); thruster && acceptable(maxth0)) thruster->max0 = maxth0;
}

double VESSEL::GetThrusterIsp(THRUSTER_HANDLE th) const {
    const Vessel& v = vesselOf(handle_);
    HOST_TRACE("GetThrusterIsp", thrusterText(v, th));
    const Thruster* thruster = thrusterOf(v, th);
    return thruster ? thruster->isp : 0.0;
}

void VESSEL::SetThrusterIsp(THRUSTER_HANDLE th, double isp) const {
    const Vessel& v = vesselOf(handle_);
    HOST_TRACE("SetThrusterIsp", thrusterText(v, th), isp);
    if (Thruster* thruster = thrusterOf(v, th); thruster && acceptable(isp)) thruster->isp = isp;
}

double VESSEL::GetThrusterLevel(THRUSTER_HANDLE th) const {
    const Thruster* thruster = thrusterOf(vesselOf(handle_), th);
    return thruster ? thruster->level : 0.0;
}

void VESSEL::SetThrusterLevel(THRUSTER_HANDLE th, double level) const {
    const Vessel& v = vesselOf(handle_);
    HOST_TRACE("SetThrusterLevel", thrusterText(v, th), level);
    if (Thruster* thruster = thrusterOf(v, th)) thruster->level = clampLevel(level);
}
