// A clean world and a zeroed module record for each case that drives the
// module's code directly, with helpers to build vessels and place them on orbits.
#pragma once

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "frame/plugin_state.h"
#include "tests/support/world_fixture.h"

class ModuleTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        resetPluginState();
    }
    void TearDown() override {
        resetPluginState();
        WorldTest::TearDown();
    }

    simhost::Vessel& addVessel(const char* name, double emptyMass) {
        simhost::Vessel* vessel = w().addVessel(name);
        vessel->emptyMass = emptyMass;
        return *vessel;
    }

    // A main-group thruster firing along the vessel's +z axis.
    static simhost::Thruster* addMainThruster(simhost::Vessel& vessel, double maxThrust, double isp,
                                              simhost::Propellant* tank) {
        simhost::Thruster* thruster = vessel.addThruster(vec3(0, 0, -1), vec3(0, 0, 1), maxThrust, isp, tank);
        vessel.addToGroup(THGROUP_MAIN, thruster);
        return thruster;
    }

    static void control(const char* vesselName, const char* refName) {
        std::strncpy(pluginState.vesselName, vesselName, kNameLength - 1);
        std::strncpy(pluginState.refName, refName, kNameLength - 1);
        pluginState.refBody = oapiGetObjectByName(refName);
    }

    // Puts the vessel on a prograde orbit in the ecliptic plane about body, with
    // periapsis radius rp and apoapsis radius ra (m), at the given true anomaly
    // (rad), periapsis along +x. Closed-form conic, independent of the host's
    // own orbit code.
    static void placeOnOrbit(simhost::Vessel& vessel, const simhost::Body& body, double rp, double ra,
                             double trueAnomaly) {
        const double e = (ra - rp) / (ra + rp);
        const double p = rp * (1.0 + e);  // semi-latus rectum (m)
        const double r = p / (1.0 + e * std::cos(trueAnomaly));
        const double speedScale = std::sqrt(body.gm / p);
        vessel.pos = body.state.pos + vec3(r * std::cos(trueAnomaly), r * std::sin(trueAnomaly), 0.0);
        vessel.vel = body.state.vel + vec3(-speedScale * std::sin(trueAnomaly),
                                           speedScale * (e + std::cos(trueAnomaly)), 0.0);
    }

    // The names of the host calls recorded so far, without their arguments.
    static std::vector<std::string> tracedCalls() {
        std::vector<std::string> names;
        for (const std::string& entry : simhost::traceEntries()) names.push_back(entry.substr(0, entry.find('(')));
        return names;
    }

    static void startTrace() {
        simhost::clearTrace();
        simhost::setTraceEnabled(true);
    }
};

// The record as raw bytes, to show that an operation changed nothing at all.
using RecordBytes = std::array<unsigned char, sizeof(PluginState)>;
inline RecordBytes recordBytes() {
    RecordBytes bytes;
    std::memcpy(bytes.data(), &pluginState, sizeof(PluginState));
    return bytes;
}

// A vessel's local axes as global directions (the columns of its rotation).
inline VECTOR3 localAxis(const simhost::Vessel& vessel, int column) {
    return vec3(vessel.rot.m[0][column], vessel.rot.m[1][column], vessel.rot.m[2][column]);
}
