#include "sim/run/command_line.h"

#include <CLI/CLI.hpp>
#include <cmath>

#include "host/physics/physical_constants.h"
#include "sim/goal/goal_condition.h"
#include "sim/run/command_line_exit.h"

namespace zolksim {

const char* const kVersionText = "zolksim 0.1.0 (ZolkMFD stand-in host runner)";

namespace {

// A time in seconds that must be finite and above zero.
CLI::Validator positiveSeconds(const char* what) {
    return CLI::Validator(
        [what](std::string& text) -> std::string {
            double value = 0.0;
            if (!CLI::detail::lexical_cast(text, value) || !std::isfinite(value) || value <= 0.0)
                return std::string(what) + " must be a number above zero, not '" + text + "'";
            return {};
        },
        "> 0");
}

// A file or folder named on the command line: an empty name names nothing
// (and would otherwise quietly mean the default, or the current folder).
CLI::Validator nonEmpty(const char* what) {
    return CLI::Validator(
        [what](std::string& text) -> std::string {
            return text.empty() ? std::string(what) + " must name a file or folder, not be empty" : std::string{};
        },
        "NAME");
}

// The parser and the values its options write to. Building it (every option,
// its names and validators) costs several times what a parse does, so each
// thread builds one and keeps it; a parse starts from cleared results and the
// default values.
struct Parser {
    Parser();

    RunOptions o;
    double days = 0.0, seconds = 0.0;
    std::string until;
    CLI::App app;
    CLI::Option* daysOption = nullptr;
    CLI::Option* secondsOption = nullptr;
    CLI::Option* untilOption = nullptr;
};

Parser::Parser()
    : app{"Flies a scenario in the stand-in host with the ZolkMFD module loaded, then shows the "
                 "page and the orbit's change and writes pictures and the final scenario.",
          "zolksim"} {
    app.add_option("scenario", o.scenarioPath, "Scenario file to fly (default: the built-in ion tug mission)")
        ->check(nonEmpty("the scenario"));
    daysOption =
        app.add_option("--days", days, "Simulated time in days (default 10)")->check(positiveSeconds("--days"));
    secondsOption = app.add_option("--seconds", seconds, "Simulated time in seconds")
                                     ->check(positiveSeconds("--seconds"))
                                     ->excludes(daysOption);
    daysOption->excludes(secondsOption);
    app.add_option("--step", o.step, "Time step in seconds (default 1)")->check(positiveSeconds("--step"));
    CLI::Option* scriptOption = app.add_option("--script", o.scriptPath, "Pilot script of timed keys, buttons and entries")
        ->check(nonEmpty("--script"));
    app.add_option("--out", o.outDir, "Folder for the pictures and the final scenario (default zolksim-out)")
        ->check(nonEmpty("--out"));
    app.add_option("--module", o.modulePath, "The module to load (default: the one built beside zolksim)")
        ->check(nonEmpty("--module"));
    app.add_flag("--quiet,-q", o.quiet, "No progress bar, page or summary; problems only");
    untilOption = app.add_option(
        "--until", until,
        "Stop at the first step meeting CONDITION, e.g. \"apoapsis >= 35786 km\"; --days is then the limit "
        "(docs/goal-condition.md)");
    CLI::Option* serveOption =
        app.add_flag("--serve", o.serve, "Fly live, without an end, in a cockpit served to a web browser")
            ->excludes(daysOption)
            ->excludes(secondsOption)
            ->excludes(scriptOption)
            ->excludes(untilOption);
    app.add_option("--port", o.port, "The cockpit's port (default 8417; 0: any free port)")->check(CLI::Range(0, 65535))->needs(serveOption);
    app.add_option("--listen", o.listen, "The address the cockpit listens on (default 127.0.0.1, this machine only)")
        ->needs(serveOption);
    app.add_option("--allow-host", o.allowHosts,
                   "A name, besides this machine's own, that browsers reach the cockpit by (may be repeated)")
        ->needs(serveOption);
    app.set_version_flag("--version,-V", kVersionText);
}

}  // namespace

ParsedCommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    thread_local Parser parser;
    parser.o = RunOptions{};
    ParsedCommandLine parsed;
    try {
        parser.app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        parsed.exitCode = commandLineExit(parser.app, e, out, err);
        return parsed;
    }
    RunOptions& o = parsed.options = parser.o;
    const double days = parser.days, seconds = parser.seconds;
    if (*parser.untilOption) {
        GoalParse goal = parseGoalCondition(parser.until);
        if (!goal.ok) {
            err << "zolksim: --until: " << goal.error << "\n";
            parsed.exitCode = kExitBadCommandLine;
            return parsed;
        }
        o.goal = std::move(goal.condition);
    }
    if (*parser.daysOption) o.duration = days * simhost::kSecondsPerDay;
    if (*parser.secondsOption) o.duration = seconds;
    if (!std::isfinite(o.duration)) {
        err << "zolksim: --days " << days << " is too long\n";
        parsed.exitCode = kExitBadCommandLine;
        return parsed;
    }
    parsed.run = true;
    return parsed;
}

}  // namespace zolksim
