// A study's results drawn against its varied parameters: a line chart over one
// parameter, a heat map over two. More than two have no picture.
#pragma once

#include <map>
#include <string>

#include "sim/pictures/canvas.h"
#include "sim/sweep/study.h"
#include "sim/sweep/sweep_table.h"

namespace zolksim {

enum class SweepMeasure { TimeToGoal, Propellant };

// Whether the study's cases make a picture (one or two varied parameters).
bool sweepChartable(const Study& study);

// Draws the measure of every row found on a kPlotWidth x kPlotHeight canvas.
// A case that did not meet the goal has no time to goal: it is marked as such.
void drawSweepChart(const Study& study, const std::map<std::size_t, SweepRow>& rows, SweepMeasure measure,
                    Canvas& canvas);

}  // namespace zolksim
