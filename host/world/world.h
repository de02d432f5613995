// The simulated world: celestial bodies, vessels, time, focus and the loaded
// modules. The host API acts on the one world that world() returns.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/world/body.h"
#include "host/world/names.h"
#include "host/displays/displays.h"
#include "host/physics/fitted_ephemeris.h"
#include "host/modules/module_loader.h"
#include "host/physics/physical_constants.h"
#include "host/physics/solar_system.h"
#include "host/physics/step_gravity.h"
#include "host/world/vessel.h"

namespace simhost {

class OAPIFUNC World {
public:
    World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    ~World();

    // Closes every display, unloads every module and empties the world: no
    // bodies or vessels, time 0.
    void reset();
    // Closes every display and input box and removes all bodies and vessels,
    // back to time 0 at the default date; the modules stay loaded.
    void clearScene();
    // Adds Sun, Earth, Moon and Mars.
    void addBuiltInBodies();

    // A body orbiting the body named parentName (nullptr: fixed at the origin).
    // Parents come before their satellites. Null when the parent is unknown or
    // the name is taken.
    Body* addBody(const std::string& name, double gm, double radius, const char* parentName,
                  const ELEMENTS& orbit, double epochMjd);
    // The same with the whole orbit (its model; orbit.parent is ignored, the
    // parent is found by name; orbit.gm is the body's GM).
    Body* addBody(const std::string& name, double radius, const char* parentName, const BodyOrbit& orbit);
    // A vessel with no mass, tanks or thrusters at the origin; null when the name is taken.
    Vessel* addVessel(const std::string& name);
    // The same for a name the caller has already found free of every body and
    // vessel (a scenario checks its names as a whole when it is read): no
    // lookup, so adding n vessels costs n, not n^2.
    Vessel* addVesselWithFreeName(const std::string& name);

    // Lookups by name ignore letter case. Inline, as the handle lookups: the
    // module's calls make several of them each step.
    Object* findObject(std::string_view name) const;
    Body* findBody(std::string_view name) const {
        for (const auto& body : bodies_)
            if (sameName(body->name, name)) return body.get();
        return nullptr;
    }
    Vessel* findVessel(std::string_view name) const {
        for (const auto& vessel : vessels_)
            if (sameName(vessel->name, name)) return vessel.get();
        return nullptr;
    }
    // The object behind a handle, or null when the handle is none of the world's.
    Object* objectFromHandle(const void* handle) const;
    Vessel* vesselFromHandle(const void* handle) const {
        if (!handle) return nullptr;
        for (const auto& vessel : vessels_)
            if (static_cast<const Object*>(vessel.get()) == handle) return vessel.get();
        return nullptr;
    }
    Body* bodyFromHandle(const void* handle) const {
        if (!handle) return nullptr;
        for (const auto& body : bodies_)
            if (static_cast<const Object*>(body.get()) == handle) return body.get();
        return nullptr;
    }

    Vessel* focus() const { return focus_; }
    void setFocus(Vessel* vessel) { focus_ = vessel; }

    double simTime() const { return simTime_; }  // s since the start of the run
    double mjd() const { return startMjd_ + simTime_ / kSecondsPerDay; }
    // Sets the date of simulation time 0 and moves the bodies there.
    void setStartMjd(double mjd);

    // Nonspherical gravity: the oblate bodies' zonal harmonics (Earth J2-J4,
    // the Moon and Mars J2; see builtInZonalField) on top of their point
    // masses. On by default and after clearScene; off, every body is a point
    // mass (for runs compared with two-body figures).
    bool nonsphericalGravity() const { return nonspherical_; }
    void setNonsphericalGravity(bool on) { nonspherical_ = on; }
    // Gives body i (an index into bodies()) the zonal field, null for a point
    // mass; it must outlive the body. Bodies get their built-in field, if any,
    // when added.
    void setZonalField(std::size_t i, const ZonalField* field) {
        if (i < zonalFields_.size()) zonalFields_[i] = field;
    }

    // One time step of dt seconds: every module's opcPreStep (with the time
    // before the step); then each vessel's navigation modes or spin set its
    // attitude; then each vessel moves, relative to the body whose sphere of
    // influence holds it, under that body's gravity, the other bodies' tides
    // and its thrust, burning propellant; then time advances and the bodies move to their
    // places at the new time.
    void step(double dt);

    const std::vector<std::unique_ptr<Body>>& bodies() const { return bodies_; }
    // Parallel to bodies(): each body's orbit, as the ephemeris uses it.
    const std::vector<BodyOrbit>& orbits() const { return orbits_; }
    // Parallel to bodies(): their global states now (each body's state).
    const std::vector<StateVectors>& bodyStates() const { return bodyStates_; }
    // The bodies' ephemeris, fitted as it is read.
    FittedEphemeris& ephemeris() { return ephemeris_; }
    const std::vector<std::unique_ptr<Vessel>>& vessels() const { return vessels_; }
    ModuleLoader& modules() { return modules_; }
    Cockpit& cockpit() { return cockpit_; }

private:
    void updateBodies();

    std::vector<std::unique_ptr<Body>> bodies_;
    std::vector<std::unique_ptr<Vessel>> vessels_;
    std::vector<BodyOrbit> orbits_;          // parallel to bodies_, for the ephemeris
    FittedEphemeris ephemeris_;              // over orbits_
    std::vector<StateVectors> bodyStates_;   // parallel to bodies_: their states at the present time
    std::vector<const ZonalField*> zonalFields_;  // parallel to bodies_: null for a point mass
    bool nonspherical_ = true;
    StepGravity stepGravity_;                // the bodies' pull during a step
    Vessel* focus_ = nullptr;
    double simTime_ = 0.0;
    double startMjd_ = kJ2000Mjd;
    Cockpit cockpit_;  // before modules_: destroyed after them, as their detach unregisters modes
    ModuleLoader modules_;
};

// The world that the host API acts on. It lives until the process ends.
OAPIFUNC World& world();

}  // namespace simhost
