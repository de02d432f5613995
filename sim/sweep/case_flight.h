// One case of a study flown alone: the module and the scenario loaded into a
// fresh world, the case's values applied, then flown until the goal or the limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/goal/orbit_history.h"
#include "sim/sample/flight_dispersion.h"
#include "sim/sweep/study.h"

namespace zolksim {

struct CaseResult {
    bool met = false;
    double timeToGoal = 0.0;      // simulated s; the limit when not met
    std::uint64_t steps = 0;      // flown
    double propellantUsed = 0.0;  // kg
    double deltaVUsed = 0.0;      // m/s, by the rocket equation at the main engines' ISP
    double burnTime = 0.0;        // s the main engines burned
    std::size_t burns = 0;
    double finalPeriapsisKm = 0.0, finalApoapsisKm = 0.0;  // altitudes; apoapsis infinite on an open orbit
    // Time-means over the last full orbit (apoapsis to apoapsis), the figures to
    // plan with; NaN when the case flew no full orbit.
    double meanPeriapsisKm = 0.0, meanApoapsisKm = 0.0;
    double wallSeconds = 0.0;
    // Why the flight guard ended the flight early (a step too coarse for the
    // orbit, a path through the surface); empty when it did not.
    std::string stopped;
};

// False with the reason in error. modulePath empty: the module beside zolksim.
// A dispersion, when given, is applied after the case's values. history, when
// given, receives the flight's orbit-by-orbit rows (sim/goal/orbit_history.h),
// the last one closed at the flight's end.
bool flyCase(const Study& study, std::size_t index, const std::string& modulePath, CaseResult& result,
             std::string& error, const FlightDispersion* dispersion = nullptr,
             std::vector<OrbitRow>* history = nullptr);

}  // namespace zolksim
