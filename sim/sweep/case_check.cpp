#include "sim/sweep/case_check.h"

#include <cstdio>
#include <string_view>

#include "host/physics/physical_constants.h"
#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/pictures/orbit_track.h"
#include "sim/run/default_mission.h"
#include "sim/run/flight.h"
#include "sim/sweep/tank_capacity.h"

namespace zolksim {

namespace {

constexpr double kKm = 1000.0;  // m

// A study's value as written (%.10g, as sweep.csv has it), or a figure of the
// scenario's orbit to 0.1 km.
std::string valueText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}
std::string kmText(double km) { return valueText(km) + " km"; }
std::string scenarioKmText(double km) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f km", km);
    return text;
}

// What the base scenario's focus vessel gives the cases.
struct ScenarioVessel {
    std::string name;
    bool mainEngines = false;
    double tankCapacityKg = 0.0;
    bool closedOrbit = false;
    double periapsisKm = 0.0, apoapsisKm = 0.0;  // altitudes above the body's mean radius
};

struct EmptyWorldAfter {
    ~EmptyWorldAfter() { simhost::world().reset(); }
};

bool readScenarioVessel(const Study& study, ScenarioVessel& out, std::string& error) {
    EmptyWorldAfter emptied;
    simhost::world().reset();
    const std::string name = study.scenarioPath.empty() ? kDefaultMissionName : study.scenarioPath;
    const simhost::ScenarioLoad load = simhost::loadScenarioText(study.scenarioText, name);
    if (!load.ok) {
        error = "scenario " + simhost::messageText(load.error);
        return false;
    }
    simhost::Vessel* vessel = simhost::world().focus();
    const simhost::Body* body = vessel ? dominantBodyOf(*vessel) : nullptr;
    if (!vessel || !body) {
        error = "scenario " + name + ": no focus vessel about a body to fly";
        return false;
    }
    out.name = vessel->name;
    const std::vector<simhost::Thruster*>* main = vessel->group(THGROUP_MAIN);
    out.mainEngines = main && !main->empty();
    for (const auto& tank : vessel->propellants) out.tankCapacityKg += tank->maxMass;
    ELEMENTS elements{};
    ORBITPARAM orbit{};
    out.closedOrbit =
        vessel->vesselInterface().GetElements(const_cast<simhost::Body*>(body), elements, &orbit, 0.0, FRAME_ECL) &&
        elements.e < 1.0;
    out.periapsisKm = (orbit.PeD - body->radius) / kKm;
    out.apoapsisKm = (orbit.ApD - body->radius) / kKm;
    return true;
}

const VariedParameter* variedOf(const Study& study, StudyParameter parameter, std::size_t& position) {
    for (position = 0; position < study.varied.size(); ++position)
        if (study.varied[position].parameter == parameter) return &study.varied[position];
    return nullptr;
}

// The first case (lowest number) whose periapsis lies above its apoapsis, with
// both varied; caseCount() when there is none.
std::size_t firstCrossedOrbit(const Study& study, std::size_t pAt, std::size_t aAt) {
    // A case's number is the mixed-radix number of its values' positions, the
    // last parameter the fastest digit: position i of parameter p weighs the
    // product of the value counts after p.
    const auto weight = [&](std::size_t at) {
        std::size_t w = 1;
        for (std::size_t q = at + 1; q < study.varied.size(); ++q) w *= study.varied[q].values.size();
        return w;
    };
    const std::vector<double>& p = study.varied[pAt].values;
    const std::vector<double>& a = study.varied[aAt].values;
    std::size_t first = study.caseCount();
    for (std::size_t i = 0; i < p.size(); ++i)
        for (std::size_t j = 0; j < a.size(); ++j)
            if (p[i] > a[j]) first = std::min(first, i * weight(pAt) + j * weight(aAt));
    return first;
}

std::string crossedText(const std::string& periapsis, const std::string& apoapsis) {
    return "the periapsis " + periapsis + " lies above the apoapsis " + apoapsis;
}

}  // namespace

std::string checkStudyCases(const Study& study) {
    ScenarioVessel vessel;
    std::string error;
    if (!readScenarioVessel(study, vessel, error)) return error;
    std::size_t at = 0;
    for (StudyParameter engine : {StudyParameter::Thrust, StudyParameter::Isp})
        if (variedOf(study, engine, at) && !vessel.mainEngines)
            return "vary." + std::string(parameterInfo(engine).key) + ": " + vessel.name + " has no main engines to set";
    if (const VariedParameter* propellant = variedOf(study, StudyParameter::Propellant, at)) {
        if (vessel.tankCapacityKg <= 0.0) return "vary.propellant: " + vessel.name + " has no tank to fill";
        for (double kg : propellant->values)
            if (!propellantFits(kg, vessel.tankCapacityKg))
                return "vary.propellant: " + propellantOverCapacityText(kg, vessel.tankCapacityKg);
    }

    std::size_t pAt = 0, aAt = 0;
    const VariedParameter* periapsis = variedOf(study, StudyParameter::Periapsis, pAt);
    const VariedParameter* apoapsis = variedOf(study, StudyParameter::Apoapsis, aAt);
    if ((periapsis || apoapsis) && !(periapsis && apoapsis) && !vessel.closedOrbit)
        return std::string("vary.") + (periapsis ? "periapsis" : "apoapsis") + ": " + vessel.name +
               " is on no closed orbit to keep the other altitude of";
    if (periapsis && apoapsis) {
        const std::size_t first = firstCrossedOrbit(study, pAt, aAt);
        if (first < study.caseCount()) {
            const std::vector<double> values = study.caseValues(first);
            return "case " + std::to_string(first) + " (periapsis " + kmText(values[pAt]) + ", apoapsis " +
                   kmText(values[aAt]) + "): " + crossedText(kmText(values[pAt]), kmText(values[aAt])) +
                   "; vary them so that no periapsis exceeds an apoapsis";
        }
    } else if (periapsis) {
        for (double km : periapsis->values)
            if (km > vessel.apoapsisKm)
                return "vary.periapsis: " + crossedText(kmText(km), scenarioKmText(vessel.apoapsisKm)) + " of the scenario's orbit";
    } else if (apoapsis) {
        for (double km : apoapsis->values)
            if (vessel.periapsisKm > km)
                return "vary.apoapsis: " + crossedText(scenarioKmText(vessel.periapsisKm), kmText(km)) + " of the scenario's orbit";
    }

    const double limit = study.limitDays * simhost::kSecondsPerDay;  // s
    if (const VariedParameter* steps = variedOf(study, StudyParameter::Step, at)) {
        for (double step : steps->values)
            if (limit / step > kMaxSteps) 
                return "vary.step: " + valueText(step) + " s gives too many steps; take a longer step";
    } else if (limit / study.step > kMaxSteps) {
        return "step: too many steps; take a longer step";
    }
    return {};
}

}  // namespace zolksim
