// The plot of a run's orbit: periapsis and apoapsis altitude over time, with
// the periods the main engines burned shaded.
#pragma once

#include <string>

#include "sim/pictures/canvas.h"
#include "sim/pictures/orbit_track.h"

namespace zolksim {

constexpr int kPlotWidth = 960, kPlotHeight = 540;  // px

void drawOrbitPlot(const OrbitTrack& track, const std::string& vesselName, double duration, Canvas& canvas);

// A round step (1, 2 or 5 times a power of ten) giving about `count` ticks over range.
double tickStep(double range, int count);

}  // namespace zolksim
