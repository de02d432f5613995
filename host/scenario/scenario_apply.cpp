// A parsed scenario into the world: the scene is replaced as a whole.
#include <algorithm>

#include "host/scenario/scenario_description.h"
#include "host/scenario/scenario_io.h"
#include "host/scenario/scenario_text.h"

namespace simhost {

namespace {

void addVessel(World& w, const ScenarioVessel& entry) {
    Vessel& vessel = *w.addVesselWithFreeName(entry.name);  // checked free when read
    vessel.emptyMass = entry.emptyMass;
    const Body* ref = entry.ref.empty() ? nullptr : w.findBody(entry.ref);
    vessel.pos = ref ? ref->state.pos + entry.pos : entry.pos;
    vessel.vel = ref ? ref->state.vel + entry.vel : entry.vel;
    vessel.rot = entry.rot;
    vessel.angVel = entry.angVel;
    for (const Propellant& tank : entry.tanks) vessel.addPropellant(tank.maxMass, tank.mass);
    for (const ScenarioThruster& t : entry.thrusters) {
        Propellant* tank = t.tank < 0 ? nullptr : vessel.propellants[t.tank].get();
        Thruster* thruster = vessel.addThruster(t.pos, t.dir, t.max0, t.isp, tank);
        thruster->dir = t.dir;  // as read: normalising a unit vector again may change its last bits
        thruster->level = t.level;
    }
    for (int g = 0; g < kThrusterGroupCount; ++g)
        for (int index : entry.groups[g])
            vessel.addToGroup(static_cast<THGROUP_TYPE>(g), vessel.thrusters[index].get());
    for (int mode : entry.navmodes) vessel.setNavmode(mode, true);
}

// Opens the display and hands its ReadStatus the scenario from the line after
// MODE on, as the host does: the display reads as far as it wants. Gives back
// the line (0-based) at which the host goes on reading the file.
std::size_t openDisplay(World& w, const ScenarioDescription& scenario, const ScenarioDisplay& entry,
                        const std::string& source, std::vector<ScenarioMessage>& warnings) {
    if (!w.cockpit().findMode(entry.mode)) {
        warnings.push_back(ScenarioMessage{source, entry.modeLine, joined("unknown display mode '", entry.mode, "': block skipped")});
        return entry.blockEnd;
    }
    const Display* display = w.cockpit().openDisplay(entry.position, entry.mode);
    if (!display || !display->object()) {
        warnings.push_back(ScenarioMessage{source, entry.line, joined("display mode '", entry.mode, "' opened no display")});
        return entry.blockEnd;
    }
    const auto from = scenario.lines.begin() + static_cast<std::ptrdiff_t>(entry.statusStart);
    ScenarioReader reader(std::vector<std::string>(from, scenario.lines.end()));
    display->object()->ReadStatus(reader.handle());
    return std::max(entry.blockEnd, entry.statusStart + reader.linesRead());
}

}  // namespace

void applyScenario(const ScenarioDescription& scenario, const std::string& source,
                   std::vector<ScenarioMessage>& warnings) {
    World& w = world();
    w.clearScene();
    w.setNonsphericalGravity(scenario.nonsphericalGravity);
    if (scenario.hasBodies) {
        for (const ScenarioBody& body : scenario.bodies)
            w.addBody(body.name, body.gm, body.radius, body.parent.empty() ? nullptr : body.parent.c_str(),
                      body.elements, body.epochMjd);
    } else {
        w.addBuiltInBodies();
    }
    // The bodies move to the date before the vessels are placed relative to them.
    w.setStartMjd(scenario.mjd);
    for (const ScenarioVessel& vessel : scenario.vessels) addVessel(w, vessel);
    if (scenario.hasFocus) w.setFocus(scenario.focus.empty() ? nullptr : w.findVessel(scenario.focus));
    else if (!w.vessels().empty()) w.setFocus(w.vessels().front().get());
    // After the focus: a display object gets the focus vessel.
    // A display that reads past its END_MFD takes the lines it read from the
    // host: a display block among them is never found.
    std::size_t readTo = 0;
    for (const ScenarioDisplay& display : scenario.displays) {
        if (static_cast<std::size_t>(display.line) <= readTo) {
            warnings.push_back(ScenarioMessage{source, display.line, "display block read by the display before it: skipped"});
            continue;
        }
        readTo = openDisplay(w, scenario, display, source, warnings);
    }
}

}  // namespace simhost
