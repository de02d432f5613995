// The boundary between values of one parameter that meet a goal by a deadline
// and values that do not, found by Boost.Math's TOMS 748 bracketing root
// finder on the time to the goal minus the time allowed.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zolksim {

// One flight at a parameter value.
struct BoundaryRun {
    double value = 0.0;
    bool met = false;          // within the time allowed
    double timeToGoal = 0.0;   // simulated s; the flight's limit when the goal was never met
    double allowed = 0.0;      // simulated s the value was given to meet the goal
};

struct BoundarySearch {
    double from = 0.0, to = 0.0;  // the range searched, its ends on either side of the boundary
    double tolerance = 0.0;       // the bracket width to stop at, in the parameter's unit
    double resolution = 1.0;      // s: times closer than this to the deadline count as this far from it
    std::size_t maxRuns = 60;
};

struct BoundaryResult {
    bool ok = false;
    std::string error;
    double answer = 0.0;     // the value on the meeting side of the final bracket
    double unmet = 0.0;      // the value on the other side
    double tolerance = 0.0;  // |answer - unmet|
    std::vector<BoundaryRun> runs;  // in the order flown
};

// fly(value, run) flies the value and fills run's met, timeToGoal and allowed;
// false with the reason in error stops the search.
using BoundaryFlight = std::function<bool(double value, BoundaryRun& run, std::string& error)>;

BoundaryResult findBoundary(const BoundarySearch& search, const BoundaryFlight& fly);

}  // namespace zolksim
