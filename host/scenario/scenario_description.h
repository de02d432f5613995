// A scenario as read from its text, before it touches the world. Parsing checks
// every line and every name, so applying a description that parsed cannot fail.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "frame/host_api.h"
#include "host/physics/rotation.h"
#include "host/scenario/scenario_file.h"
#include "host/world/vessel.h"
#include "host/world/world.h"

namespace simhost {

// Thruster group names in scenario text, indexed by THGROUP_TYPE.
inline constexpr std::string_view kScenarioGroupNames[kThrusterGroupCount] = {"MAIN", "RETRO", "HOVER"};

struct ScenarioBody {
    int line = 0;
    std::string name;
    double gm = 0.0;       // m^3/s^2
    double radius = 0.0;   // m
    std::string parent;    // empty: fixed at the origin
    ELEMENTS elements{};   // ecliptic elements about the parent (m, rad)
    double epochMjd = 0.0;  // date at which elements.L holds
};

struct ScenarioThruster {
    VECTOR3 pos{};  // vessel axes (m)
    VECTOR3 dir{};  // vessel axes; kept as written when already unit to rounding
    double max0 = 0.0;   // N
    double isp = 0.0;    // N*s/kg
    int tank = -1;       // index into the vessel's tanks; -1 for none
    double level = 0.0;  // 0..1
};

struct ScenarioVessel {
    int line = 0;  // of the name
    std::string name;
    double emptyMass = 0.0;  // kg
    std::string ref;         // body that pos and vel are relative to; empty: global
    int refLine = 0;
    VECTOR3 pos{};  // m, global axes
    VECTOR3 vel{};  // m/s, global axes
    Mat3 rot = identityMatrix();  // local -> global
    VECTOR3 angVel{};             // rad/s, vessel axes
    std::vector<Propellant> tanks;
    std::vector<ScenarioThruster> thrusters;
    std::array<std::vector<int>, kThrusterGroupCount> groups;  // thruster indices
    std::vector<int> navmodes;
};

struct ScenarioDisplay {
    int line = 0;      // of BEGIN_MFD
    int modeLine = 0;  // of MODE
    std::string position;
    std::string mode;
    // Lines of the text (0-based): the one after MODE, where the display's
    // ReadStatus starts reading, and the one after END_MFD.
    std::size_t statusStart = 0;
    std::size_t blockEnd = 0;
};

struct ScenarioDescription {
    std::string text;  // the DESC block
    double mjd = kJ2000Mjd;  // date at simulation time 0
    bool nonsphericalGravity = true;  // false: every body a point mass
    bool hasBodies = false;  // false: the built-in bodies
    std::vector<ScenarioBody> bodies;
    bool hasFocus = false;  // false: the first vessel has the focus
    std::string focus;      // empty: no vessel has
    int focusLine = 0;
    std::vector<ScenarioVessel> vessels;
    std::vector<ScenarioDisplay> displays;
    std::vector<std::string> lines;  // the whole text, as the displays' readers see it
};

// Reads the whole text into out. Stops at the first malformed line or unknown
// name with error set and returns false; skipped blocks and lines add warnings.
bool parseScenario(std::string_view text, const std::string& source, ScenarioDescription& out,
                   std::vector<ScenarioMessage>& warnings, ScenarioMessage& error);

// Replaces the world's scene with a parsed description. A display whose mode is
// unknown or gives no display object is left out with a warning.
void applyScenario(const ScenarioDescription& scenario, const std::string& source,
                   std::vector<ScenarioMessage>& warnings);

}  // namespace simhost
