#include "host/world/world.h"

#include <algorithm>

#include "host/world/names.h"
#include "host/physics/navigation_modes.h"
#include "host/physics/vessel_dynamics.h"

namespace simhost {

World::World() = default;
World::~World() = default;

void World::reset() {
    // Display objects are the modules' code: destroy them while it is loaded.
    cockpit_.closeAll();
    modules_.unloadAll();
    cockpit_.reset();
    clearScene();
}

void World::clearScene() {
    cockpit_.closeAll();
    focus_ = nullptr;
    vessels_.clear();
    bodies_.clear();
    orbits_.clear();
    ephemeris_.setBodies(nullptr, 0);
    bodyStates_.clear();
    zonalFields_.clear();
    nonspherical_ = true;
    stepGravity_.resize(0);
    simTime_ = 0.0;
    startMjd_ = kJ2000Mjd;
}

void World::addBuiltInBodies() {
    std::size_t count = 0;
    const BodySpec* table = builtInBodies(count);
    for (std::size_t i = 0; i < count; ++i) {
        const BodySpec& entry = table[i];
        const char* parent = entry.orbit.parent < 0 ? nullptr : table[entry.orbit.parent].name;
        addBody(entry.name, entry.radius, parent, entry.orbit);
    }
}

Body* World::addBody(const std::string& name, double gm, double radius, const char* parentName,
                     const ELEMENTS& orbit, double epochMjd) {
    if (const BodySpec* builtIn = builtInBodyMatching(name.c_str(), gm, parentName, orbit, epochMjd))
        return addBody(name, radius, parentName, builtIn->orbit);
    return addBody(name, radius, parentName, BodyOrbit{-1, gm, orbit, epochMjd});
}

Body* World::addBody(const std::string& name, double radius, const char* parentName, const BodyOrbit& orbit) {
    if (findObject(name)) return nullptr;
    int parent = -1;
    if (parentName) {
        const Body* parentBody = findBody(parentName);
        if (!parentBody) return nullptr;
        for (std::size_t i = 0; i < bodies_.size(); ++i)
            if (bodies_[i].get() == parentBody) parent = static_cast<int>(i);
    }
    auto body = std::make_unique<Body>(name, orbit.gm, radius);
    orbits_.push_back(orbit);
    orbits_.back().parent = parent;
    ephemeris_.setBodies(orbits_.data(), orbits_.size());
    bodyStates_.resize(orbits_.size());
    zonalFields_.push_back(builtInZonalField(name, orbit.gm));
    stepGravity_.resize(orbits_.size());
    bodies_.push_back(std::move(body));
    updateBodies();
    return bodies_.back().get();
}

Vessel* World::addVessel(const std::string& name) {
    return findObject(name) ? nullptr : addVesselWithFreeName(name);
}

Vessel* World::addVesselWithFreeName(const std::string& name) {
    vessels_.push_back(std::make_unique<Vessel>(name));
    return vessels_.back().get();
}

Object* World::findObject(std::string_view name) const {
    if (Body* body = findBody(name)) return body;
    return findVessel(name);
}

Object* World::objectFromHandle(const void* handle) const {
    if (Body* body = bodyFromHandle(handle)) return body;
    return vesselFromHandle(handle);
}

void World::setStartMjd(double mjd) {
    startMjd_ = mjd;
    updateBodies();
}

void World::step(double dt) {
    modules_.preStep(simTime_, dt, mjd());
    const BodySnapshot now{orbits_.data(), bodyStates_.data(), bodyStates_.size()};
    for (const auto& vessel : vessels_) updateAttitude(*vessel, dt, now);
    stepGravity_.begin(ephemeris_, bodyStates_.data(), startMjd_, simTime_, dt,
                       nonspherical_ ? zonalFields_.data() : nullptr);
    for (const auto& vessel : vessels_) integrateVessel(*vessel, dt, stepGravity_);
    simTime_ += dt;
    stepGravity_.takeEndStates(bodyStates_);
    for (std::size_t i = 0; i < bodies_.size(); ++i) bodies_[i]->state = bodyStates_[i];
}

void World::updateBodies() {
    if (bodies_.empty()) return;
    ephemeris_.states(mjd(), bodyStates_.data());
    for (std::size_t i = 0; i < bodies_.size(); ++i) bodies_[i]->state = bodyStates_[i];
}

World& world() {
    // Never destroyed: modules unloaded at process exit may still call the host.
    static World* const instance = new World;
    return *instance;
}

}  // namespace simhost
