// history.csv: one row per orbit of the followed vessel (orbit_history.h),
// for an analyst's script or spreadsheet.
#pragma once

#include <string>

#include "sim/goal/orbit_history.h"

namespace zolksim {

// The header line and one line per row; altitudes in km above the body's mean
// radius, an open orbit's apoapsis and period empty, a partial row's means empty.
std::string historyCsv(const OrbitHistory& history);

}  // namespace zolksim
