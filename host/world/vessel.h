// A vessel as the host keeps it: rigid body state, tanks, thrusters and the
// navigation mode switches. The module sees it only through its VESSEL interface.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "frame/host_api.h"
#include "host/world/object.h"
#include "host/physics/rotation.h"

namespace simhost {

struct Propellant {
    double maxMass;  // tank capacity (kg)
    double mass;     // propellant now in the tank (kg)
};

struct Thruster {
    VECTOR3 pos;               // vessel axes (m)
    VECTOR3 dir;               // unit thrust direction, vessel axes
    double max0;               // maximum thrust (N)
    double isp;                // specific impulse (N*s/kg)
    double level = 0.0;        // 0..1
    Propellant* resource;      // the tank it draws from; null for none
};

// The state the integrator keeps between steps: position (m) and velocity
// (m/s) relative to body index ref, in global axes. The vessel's pos and vel
// are its global form, rounded at the body's distance from the origin (some
// 3e-5 m at 1 au); kept apart, that rounding does not enter the motion. ref -1:
// none kept. Setting pos or vel makes it stale, which its readers notice
// (relativeState in host/physics/vessel_dynamics.h).
struct RelativeState {
    int ref = -1;
    VECTOR3 pos{};
    VECTOR3 vel{};
};

constexpr int kThrusterGroupCount = 3;  // main, retro, hover
constexpr int kNavmodeCount = 7;        // NAVMODE_KILLROT .. NAVMODE_HOLDALT

class OAPIFUNC Vessel : public Object {
public:
    explicit Vessel(std::string name);
    ~Vessel() override;

    Propellant* addPropellant(double maxMass, double mass);
    Thruster* addThruster(const VECTOR3& pos, const VECTOR3& dir, double max0, double isp, Propellant* resource);
    // Returns false for a group the host does not know.
    bool addToGroup(THGROUP_TYPE group, Thruster* thruster);
    // Inline, as the lookups below: the module asks after groups, thrusters
    // and tanks several times a step.
    const std::vector<Thruster*>* group(THGROUP_TYPE group) const {
        if (group < 0 || group >= kThrusterGroupCount) return nullptr;
        return &groups_[group];
    }

    double mass() const {  // empty mass plus all propellant (kg)
        double m = emptyMass;
        for (const auto& tank : propellants) m += tank->mass;
        return m;
    }
    // Index of a thruster or tank of this vessel, -1 when it is not one.
    int thrusterIndex(const void* handle) const {
        for (std::size_t i = 0; i < thrusters.size(); ++i)
            if (thrusters[i].get() == handle) return static_cast<int>(i);
        return -1;
    }
    int propellantIndex(const void* handle) const {
        for (std::size_t i = 0; i < propellants.size(); ++i)
            if (propellants[i].get() == handle) return static_cast<int>(i);
        return -1;
    }

    // Inline: the module switches every mode off each step it holds the
    // attitude, and most are already off.
    bool navmode(int mode) const {
        return mode >= 1 && mode <= kNavmodeCount && (navmodes_ & (1u << mode)) != 0;
    }
    bool setNavmode(int mode, bool on) {  // false for an unknown mode or no change
        if (mode < 1 || mode > kNavmodeCount || navmode(mode) == on) return false;
        navmodes_ = static_cast<std::uint8_t>(on ? navmodes_ | (1u << mode) : navmodes_ & ~(1u << mode));
        return true;
    }

    VESSEL& vesselInterface() { return *interface_; }

    double emptyMass = 0.0;     // kg
    VECTOR3 pos{};              // global position (m)
    VECTOR3 vel{};              // global velocity (m/s)
    Mat3 rot = identityMatrix();  // local -> global
    VECTOR3 angVel{};           // vessel axes (rad/s)
    RelativeState relative;     // written by the integrator only
    std::vector<std::unique_ptr<Propellant>> propellants;
    std::vector<std::unique_ptr<Thruster>> thrusters;

private:
    std::array<std::vector<Thruster*>, kThrusterGroupCount> groups_;
    std::uint8_t navmodes_ = 0;  // bit m set: navigation mode m active
    std::unique_ptr<VESSEL> interface_;
};

}  // namespace simhost
