// What a zolksim run is asked to do.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/physics/physical_constants.h"
#include "sim/goal/goal_condition.h"

namespace zolksim {

constexpr double kDefaultDays = 10.0;
constexpr double kDefaultStep = 1.0;  // s
constexpr int kDefaultCockpitPort = 8417;

struct RunOptions {
    std::string scenarioPath;           // empty: the built-in default mission
    double duration = kDefaultDays * simhost::kSecondsPerDay;  // simulated s
    double step = kDefaultStep;         // s
    std::string scriptPath;             // empty: no pilot script
    std::string outDir = "zolksim-out";
    std::string modulePath;             // empty: the module beside the program
    bool quiet = false;
    std::optional<GoalCondition> goal;  // --until: stop when met; the duration is then the limit
    // --serve: the live cockpit instead of a run.
    bool serve = false;
    int port = kDefaultCockpitPort;
    std::string listen = "127.0.0.1";
    std::vector<std::string> allowHosts;  // --allow-host: more names the cockpit answers to
};

// The command line read into options. When the run should not go ahead (help,
// version, or a mistake) exitCode holds the process's exit status, and the
// text to print is already printed.
struct ParsedCommandLine {
    RunOptions options;
    bool run = false;
    int exitCode = 0;
};

}  // namespace zolksim
