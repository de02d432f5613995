// The native half of the `zolkplan` package: one case flown in this process's
// world, its results handed back as plain Python values.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <filesystem>
#include <optional>

#include "host/physics/physical_constants.h"
#include "python/flight_values.h"
#include "sim/sweep/case_flight.h"

namespace py = pybind11;

namespace {

py::dict fly(const std::optional<std::string>& scenario, const std::map<std::string, double>& values,
             const std::string& goal, double days, double step, const std::optional<std::string>& module) {
    zolksim::Study study;
    study.path = "python";
    if (scenario) {
        if (!std::filesystem::is_regular_file(*scenario)) throw py::value_error(*scenario + ": no such file");
        study.scenarioPath = *scenario;
    }
    zolksim::GoalParse parse = zolksim::parseGoalCondition(goal);
    if (!parse.ok) throw py::value_error("goal: " + parse.error);
    study.goal = std::move(parse.condition);
    if (!(days > 0.0) || days > 1e6) throw py::value_error("days must be above 0 and at most 1000000");
    if (!(step > 0.0)) throw py::value_error("step must be above zero");
    study.limitDays = days;
    study.step = step;
    zolksim::FlightDispersion dispersion;
    std::string error;
    if (!zolksim::putFlightValues(values, study, dispersion, error)) throw py::value_error(error);

    zolksim::CaseResult r;
    if (!zolksim::flyCase(study, 0, module ? *module : std::string(ZOLK_MODULE_PATH), r, error, &dispersion))
        throw std::runtime_error(error);
    py::dict summary;
    summary["goal"] = study.goal.text();
    summary["met"] = r.met;
    summary["time_to_goal_s"] = r.met ? py::object(py::float_(r.timeToGoal)) : py::none();
    summary["time_to_goal_d"] =
        r.met ? py::object(py::float_(r.timeToGoal / simhost::kSecondsPerDay)) : py::none();
    summary["steps"] = r.steps;
    summary["propellant_used_kg"] = r.propellantUsed;
    summary["burn_time_s"] = r.burnTime;
    summary["burns"] = r.burns;
    summary["final_periapsis_km"] = r.finalPeriapsisKm;
    summary["final_apoapsis_km"] = r.finalApoapsisKm;
    return summary;
}

}  // namespace

PYBIND11_MODULE(_zolkplan, m) {
    m.doc() = "ZolkMFD's planner: fly a scenario's case until a goal, in this process";
    m.def("fly", &fly, py::arg("scenario"), py::arg("values"), py::arg("goal"), py::arg("days"), py::arg("step"),
          py::arg("module"),
          "Flies the scenario (None: the built-in mission) with the case's values until the goal or the limit "
          "(days); returns the summary as a dict.");
}
