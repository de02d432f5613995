// The figures of a run, and the text that sums them up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/pictures/orbit_track.h"

namespace zolksim {

struct RunFigures {
    std::string vesselName, bodyName;
    double duration = 0.0, step = 0.0;  // simulated s
    std::uint64_t steps = 0;
    double wallSeconds = 0.0;
    OrbitSample start{}, end{};
    bool hasOrbit = false;                         // both samples taken
    double burnTime = 0.0;                         // s
    std::size_t burnCount = 0;
    double propellantStart = 0.0, propellantEnd = 0.0;  // kg
    std::string deltaVBefore, deltaVAfter;         // as the page shows them; empty: not shown
    double mjdEnd = 0.0;                           // the date at the end (MJD, TT)
    std::string goal;                              // --until's condition; empty: none
    bool goalMet = false;                          // then the run ended on the step that met it
    double goalCrossing = 0.0;                     // when it came to hold, interpolated (simulated s)
    bool goalOnMeans = false;                      // a goal on the means over an orbit
    std::string stopped;   // why the flight stopped early (flight_guard.h); empty: it did not
    double stopTime = 0.0;  // then when, simulated s
};

std::string runSummary(const RunFigures& figures);

// A time since the start to a tenth of a second, "9d 11:48:51.4".
std::string preciseClockText(double seconds);

// A Modified Julian Date as a calendar date and time, "2024-12-16 09:12:25".
std::string calendarText(double mjd);

// Propellant left in all of a vessel's tanks, kg.
double propellantOf(const simhost::Vessel& vessel);

}  // namespace zolksim
