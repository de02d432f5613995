// A parsed scenario into the world: the scene is replaced as a whole.
#include "host/scenario_description.h"
#include "host/scenario_io.h"
#include "host/scenario_text.h"

namespace simhost {

namespace {

void addVessel(World& w, const ScenarioVessel& entry) {
    Vessel& vessel = *w.addVessel(entry.name);  // the name was checked free
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

void openDisplay(World& w, const ScenarioDisplay& entry, const std::string& source,
                 std::vector<ScenarioMessage>& warnings) {
    if (!w.cockpit().findMode(entry.mode)) {
        warnings.push_back(ScenarioMessage{source, entry.modeLine, joined("unknown display mode '", entry.mode, "': block skipped")});
        return;
    }
    const Display* display = w.cockpit().openDisplay(entry.position, entry.mode);
    if (!display || !display->object()) {
        warnings.push_back(ScenarioMessage{source, entry.line, joined("display mode '", entry.mode, "' opened no display")});
        return;
    }
    ScenarioReader reader(entry.status);
    display->object()->ReadStatus(reader.handle());
}

}  // namespace

void applyScenario(const ScenarioDescription& scenario, const std::string& source,
                   std::vector<ScenarioMessage>& warnings) {
    World& w = world();
    w.clearScene();
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
    for (const ScenarioDisplay& display : scenario.displays) openDisplay(w, display, source, warnings);
}

}  // namespace simhost
