#include "sim/sweep/case_flight.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/goal/goal_watch.h"
#include "sim/goal/orbit_history.h"
#include "sim/run/default_mission.h"
#include "sim/run/flight.h"
#include "sim/run/module_path.h"
#include "sim/run/summary.h"
#include "sim/sample/sample_plan.h"
#include "sim/sweep/case_setup.h"

namespace zolksim {

namespace {

// The world is the process's one: a case starts from nothing and leaves nothing.
struct FreshWorld {
    FreshWorld() { simhost::world().reset(); }
    ~FreshWorld() { simhost::world().reset(); }
};

bool loadWorld(const Study& study, const std::string& modulePath, std::string& error) {
    const std::string module = modulePath.empty() ? defaultModulePath() : modulePath;
    if (module.empty()) {
        error = "cannot find the module beside zolksim; name it with --module";
        return false;
    }
    if (!simhost::world().modules().load(module, error)) {
        error = module + ": " + error;
        return false;
    }
    // A study read from its file holds the scenario's text; one put together in
    // code may name the file alone.
    const simhost::ScenarioLoad load =
        study.scenarioPath.empty()     ? simhost::loadScenarioText(kDefaultMissionText, kDefaultMissionName)
        : study.scenarioText.empty() ? simhost::loadScenarioFile(study.scenarioPath)
                                     : simhost::loadScenarioText(study.scenarioText, study.scenarioPath);
    if (!load.ok) error = simhost::messageText(load.error);
    return load.ok;
}

// The main engines' exhaust speed, m/s (= ISP in N s/kg): their thrust-weighted
// mean, exact when they share one ISP, as a study's engines do.
double mainExhaustSpeed(simhost::Vessel& vessel) {
    double thrust = 0.0, weighted = 0.0;
    if (const std::vector<simhost::Thruster*>* main = vessel.group(THGROUP_MAIN))
        for (const simhost::Thruster* t : *main) {
            thrust += t->max0;
            weighted += t->max0 * t->isp;
        }
    return thrust > 0.0 ? weighted / thrust : 0.0;
}

}  // namespace

bool flyCase(const Study& study, std::size_t index, const std::string& modulePath, CaseResult& result,
             std::string& error, const FlightDispersion* dispersion, std::vector<OrbitRow>* history) {
    const auto wallStart = std::chrono::steady_clock::now();
    FreshWorld session;
    if (!loadWorld(study, modulePath, error)) return false;
    simhost::Vessel* vessel = simhost::world().focus();
    const simhost::Body* body = vessel ? dominantBodyOf(*vessel) : nullptr;
    if (!vessel || !body) {
        error = "the scenario has no focus vessel about a body to fly";
        return false;
    }
    const std::vector<double> values = study.caseValues(index);
    if (!applyCase(study.varied, values, *vessel, *body, error)) return false;
    if (dispersion && !applyDispersion(*dispersion, *vessel, *body, error)) return false;
    if (study.sample && !applySampledCase(*study.sample, index, *vessel, *body, error)) return false;
    double step = study.step;
    for (std::size_t p = 0; p < study.varied.size(); ++p)
        if (study.varied[p].parameter == StudyParameter::Step) step = values[p];

    const double limit = study.limitDays * simhost::kSecondsPerDay;
    Flight flight(limit, step);
    if (static_cast<double>(flight.stepCount()) > kMaxSteps) {
        error = "too many steps; take a longer step";
        return false;
    }
    // The track is wanted for its burns only: one orbit sample at each end.
    OrbitTrack track(*vessel, *body, std::numeric_limits<std::size_t>::max());
    Pilot pilot({}, [](const std::string&) { return std::string("a study case saves nothing"); });
    ProgressBar progress(stderr, false, limit);
    // The orbits are kept for the mean columns; the goal on means reads them too.
    OrbitHistory orbits(*vessel, *body);
    GoalWatch goal(study.goal, *vessel, *body, &orbits);
    flight.stopAt(&goal);
    flight.record(&orbits);
    const double propellantStart = propellantOf(*vessel), massStart = vessel->mass();
    flight.fly(pilot, track, progress, {});

    result.met = goal.met();
    const bool guarded = flight.end() == FlightEnd::HitBody || flight.end() == FlightEnd::StepTooCoarse;
    result.stopped = guarded ? flight.stopReason() : std::string();
    result.timeToGoal = simhost::world().simTime();
    result.steps = goal.met() ? goal.metStep() : flight.stepCount();
    result.propellantUsed = propellantStart - propellantOf(*vessel);
    // The propellant all leaves through the main engines: the auto-burn fires
    // nothing else.
    result.deltaVUsed = vessel->mass() < massStart ? mainExhaustSpeed(*vessel) * std::log(massStart / vessel->mass()) : 0.0;
    result.burnTime = track.burnTime();
    result.burns = track.burns().size();
    const GoalFigures end = goalFigures(*vessel, *body, simhost::world().simTime(), true);
    result.finalPeriapsisKm = end.periapsisKm;
    result.finalApoapsisKm = end.apoapsisKm;
    const OrbitRow* lastOrbit = orbits.lastFull();
    result.meanPeriapsisKm = lastOrbit ? lastOrbit->mean.periapsisKm : NAN;
    result.meanApoapsisKm = lastOrbit ? lastOrbit->mean.apoapsisKm : NAN;
    if (history) *history = orbits.rows();
    result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    return true;
}

}  // namespace zolksim
