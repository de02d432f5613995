#include "host/world/vessel.h"

namespace simhost {

Vessel::Vessel(std::string name)
    : Object(ObjectKind::Vessel, std::move(name)), interface_(std::make_unique<VESSEL>(static_cast<Object*>(this))) {}

Vessel::~Vessel() = default;

Propellant* Vessel::addPropellant(double maxMass, double mass) {
    propellants.push_back(std::make_unique<Propellant>(Propellant{maxMass, mass}));
    return propellants.back().get();
}

Thruster* Vessel::addThruster(const VECTOR3& pos, const VECTOR3& dir, double max0, double isp, Propellant* resource) {
    thrusters.push_back(std::make_unique<Thruster>(Thruster{pos, unit(dir), max0, isp, 0.0, resource}));
    return thrusters.back().get();
}

bool Vessel::addToGroup(THGROUP_TYPE group, Thruster* thruster) {
    if (group < 0 || group >= kThrusterGroupCount || thrusterIndex(thruster) < 0) return false;
    groups_[group].push_back(thruster);
    return true;
}

}  // namespace simhost
