// summary.json: the summary's figures for a program to read, each key with
// its unit (docs/summary.schema.json describes every one).
#pragma once

#include <string>

#include "sim/goal/orbit_history.h"
#include "sim/run/summary.h"

namespace zolksim {

// Why the flight ended, as summary.json says it.
enum class RunEnd { Completed, GoalMet, GoalNotMet, HitBody, StepTooCoarse };

const char* runEndName(RunEnd end);  // "completed", "goal_met", ...

std::string summaryJson(const RunFigures& figures, const OrbitHistory& history, RunEnd end, int exitStatus);

}  // namespace zolksim
