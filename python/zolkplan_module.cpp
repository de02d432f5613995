// The native half of the `zolkplan` package: one case flown in this process's
// world, its results handed back as plain Python values.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <filesystem>
#include <optional>

#include "host/physics/physical_constants.h"
#include "python/flight_values.h"
#include "sim/sweep/case_flight.h"

namespace py = pybind11;

namespace {

// A figure that is not finite (an open orbit's apoapsis, a part orbit's
// means) as None, as summary.json and history.csv leave it empty.
py::object figure(double x) { return std::isfinite(x) ? py::object(py::float_(x)) : py::none(); }

// One orbit's row, keyed as history.csv's columns.
py::dict historyRow(const zolksim::OrbitRow& row) {
    const double unknown = row.full ? 0.0 : NAN;  // a part of an orbit has no mean
    py::dict d;
    d["orbit"] = row.orbit;
    d["full"] = row.full;
    d["start_s"] = row.start;
    d["end_s"] = row.end;
    d["periapsis_km"] = figure(row.osculating.periapsisKm);
    d["apoapsis_km"] = figure(row.osculating.apoapsisKm);
    d["period_min"] = figure(row.osculating.periodMin);
    d["eccentricity"] = figure(row.osculating.eccentricity);
    d["inclination_deg"] = figure(row.inclinationDeg);
    d["mean_periapsis_km"] = figure(row.mean.periapsisKm + unknown);
    d["mean_apoapsis_km"] = figure(row.mean.apoapsisKm + unknown);
    d["mean_period_min"] = figure(row.mean.periodMin + unknown);
    d["mean_eccentricity"] = figure(row.mean.eccentricity + unknown);
    d["propellant_kg"] = row.propellantKg;
    d["burn_s"] = row.burnSeconds;
    d["delta_v_m_s"] = row.deltaV;
    d["delta_v_total_m_s"] = row.deltaVTotal;
    return d;
}

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
    std::vector<zolksim::OrbitRow> rows;
    if (!zolksim::flyCase(study, 0, module ? *module : std::string(ZOLK_MODULE_PATH), r, error, &dispersion, &rows))
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
    // The last full orbit's means and the count, as summary.json has them.
    const zolksim::OrbitRow* last = nullptr;
    std::size_t full = 0;
    for (const zolksim::OrbitRow& row : rows)
        if (row.full) {
            last = &row;
            ++full;
        }
    summary["mean_periapsis_last_orbit_km"] = last ? figure(last->mean.periapsisKm) : py::none();
    summary["mean_apoapsis_last_orbit_km"] = last ? figure(last->mean.apoapsisKm) : py::none();
    summary["full_orbits"] = full;
    summary["delta_v_used_m_s"] = rows.empty() ? 0.0 : rows.back().deltaVTotal;
    summary["stopped"] = r.stopped.empty() ? py::none() : py::object(py::str(r.stopped));
    py::list history;
    for (const zolksim::OrbitRow& row : rows) history.append(historyRow(row));
    py::dict result;
    result["summary"] = summary;
    result["history"] = history;
    return result;
}

}  // namespace

PYBIND11_MODULE(_zolkplan, m) {
    m.doc() = "ZolkMFD's planner: fly a scenario's case until a goal, in this process";
    m.def("fly", &fly, py::arg("scenario"), py::arg("values"), py::arg("goal"), py::arg("days"), py::arg("step"),
          py::arg("module"),
          "Flies the scenario (None: the built-in mission) with the case's values until the goal or the limit "
          "(days); returns {'summary': dict, 'history': [dict per orbit]}.");
}
