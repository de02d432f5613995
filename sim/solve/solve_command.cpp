#include "sim/solve/solve_command.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "host/physics/physical_constants.h"
#include "sim/solve/boundary_search.h"
#include "sim/sweep/case_flight.h"

namespace zolksim {

namespace {

constexpr int kExitNoAnswer = 1, kExitBadInput = 2;
constexpr const char* kStartDelay = "start_delay";  // days, beside the study's parameters
// Each flight goes on past its deadline by this share of it, so that a value
// that misses tells by how much, which guides the root finder.
constexpr double kOvershoot = 0.5;

struct SolveOptions {
    std::string scenario, goal, find, modulePath;
    double withinDays = 0.0, from = 0.0, to = 0.0, step = 1.0;
    std::optional<double> tolerance;
    std::size_t maxRuns = 60;
    bool quiet = false;
};

// The shortest text that reads back as the same double, so that the answer
// printed is the value flown.
std::string number(double x) {
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, x);
    return std::string(text, end.ptr);
}

std::string days(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", seconds / simhost::kSecondsPerDay);
    return text;
}

}  // namespace

int runSolve(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    SolveOptions o;
    CLI::App app{"Finds the value of one parameter at which the goal is just met within the deadline "
                 "(docs/solve.md).",
                 "zolksim solve"};
    app.add_option("scenario", o.scenario, "The scenario (default: the built-in mission)");
    app.add_option("--goal", o.goal, "The goal, as for --until")->required();
    app.add_option("--within", o.withinDays, "The deadline, simulated days from the scenario's start")
        ->required()
        ->check(CLI::Range(1e-6, 1e6));
    app.add_option("--find", o.find,
                   "The parameter: thrust, isp, propellant, dry_mass, periapsis, apoapsis or start_delay (days)")
        ->required();
    app.add_option("--from", o.from, "One end of the range searched")->required();
    app.add_option("--to", o.to, "The other end; the goal must be met in time at one end and not at the other")
        ->required();
    app.add_option("--tolerance", o.tolerance, "Stop when the answer is known this closely (default: range / 10000)")
        ->check(CLI::PositiveNumber);
    app.add_option("--step", o.step, "Time step, s (default 1)")->check(CLI::PositiveNumber);
    app.add_option("--max-runs", o.maxRuns, "Give up after this many flights (default 60)")->check(CLI::Range(3, 10000));
    app.add_option("--module", o.modulePath, "The module to load (default: the one built beside zolksim)");
    app.add_flag("--quiet,-q", o.quiet, "Print the answer line only");
    try {
        app.parse(argc - 1, argv + 1);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err);
    }

    Study study;
    study.path = "solve";
    if (!o.scenario.empty()) study.scenarioPath = o.scenario;
    GoalParse parse = parseGoalCondition(o.goal);
    if (!parse.ok) {
        err << "zolksim: --goal: " << parse.error << "\n";
        return kExitBadInput;
    }
    study.goal = std::move(parse.condition);
    study.step = o.step;
    if (!o.scenario.empty() && !std::filesystem::exists(o.scenario)) {
        err << "zolksim: " << o.scenario << ": no such file\n";
        return kExitBadInput;
    }
    const bool delay = o.find == kStartDelay;
    std::optional<StudyParameter> parameter;
    for (int p = 0; p <= static_cast<int>(StudyParameter::Apoapsis); ++p)
        if (o.find == parameterInfo(static_cast<StudyParameter>(p)).key) parameter = static_cast<StudyParameter>(p);
    if (!delay && !parameter) {
        err << "zolksim: --find: unknown parameter '" << o.find
            << "' (thrust, isp, propellant, dry_mass, periapsis, apoapsis, start_delay)\n";
        return kExitBadInput;
    }
    if (delay && std::max(o.from, o.to) >= o.withinDays) {
        err << "zolksim: --find start_delay: the range must end before the deadline\n";
        return kExitBadInput;
    }
    const double deadline = o.withinDays * simhost::kSecondsPerDay;

    BoundarySearch search;
    search.from = o.from;
    search.to = o.to;
    search.tolerance = o.tolerance ? *o.tolerance : std::abs(o.to - o.from) / 1e4;
    search.resolution = o.step / 2;
    search.maxRuns = o.maxRuns;
    auto fly = [&](double value, BoundaryRun& run, std::string& error) {
        // A later start has the time left until the same deadline.
        run.allowed = deadline - (delay ? value * simhost::kSecondsPerDay : 0.0);
        Study one = study;
        one.limitDays = run.allowed * (1 + kOvershoot) / simhost::kSecondsPerDay;
        FlightDispersion later;
        if (parameter) one.varied = {{*parameter, {value}}};
        else later.startDelayDays = value;
        CaseResult result;
        if (!flyCase(one, 0, o.modulePath, result, error, delay ? &later : nullptr)) return false;
        // A flight the guard cut short says nothing about the goal: no answer
        // may rest on it.
        if (!result.stopped.empty()) {
            error = o.find + " " + number(value) + ": " + result.stopped;
            return false;
        }
        run.timeToGoal = result.timeToGoal;
        run.met = result.met && result.timeToGoal <= run.allowed;
        if (!o.quiet)
            out << "  run " << number(value) << ": " << (run.met ? "met" : "not met") << " in time ("
                << (result.met ? days(result.timeToGoal) + " d" : "not by the limit")
                << ")\n";
        return true;
    };
    const BoundaryResult result = findBoundary(search, fly);
    if (!result.ok) {
        err << "zolksim: " << result.error << "\n";
        return kExitNoAnswer;
    }
    const char* unit = parameter ? parameterInfo(*parameter).column : "start_delay_d";
    const bool least = result.answer > result.unmet;
    out << (least ? "least " : delay ? "latest " : "most ") << unit << " meeting \"" << study.goal.text()
        << "\" within " << number(o.withinDays) << " days: " << number(result.answer) << " (tolerance "
        << number(result.tolerance) << ", not met at " << number(result.unmet) << "), " << result.runs.size()
        << " runs\n";
    return 0;
}

}  // namespace zolksim
