// A dispersion's outcome drawn as a histogram of the cases that met the goal,
// with their cumulative share (the CDF over all cases, so it ends at the
// fraction met) on a second axis.
#pragma once

#include <string>
#include <vector>

#include "sim/pictures/canvas.h"

namespace zolksim {

// values: the outcome of each case that met the goal; total: every case.
// Drawn on a kPlotWidth x kPlotHeight canvas.
void drawDispersionChart(const std::vector<double>& values, std::size_t total, const std::string& label,
                         const std::string& title, Canvas& canvas);

}  // namespace zolksim
