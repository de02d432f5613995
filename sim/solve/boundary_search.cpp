#include "sim/solve/boundary_search.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>

namespace zolksim {

namespace {

struct SearchStopped {
    std::string error;
};

// Negative when met in time, positive when not: the time to the goal minus the
// time allowed, at least `resolution` from zero so that the sign always says
// which side a value lies on (the root finder stops at an exact zero).
double margin(const BoundaryRun& run, double resolution) {
    const double late = run.timeToGoal - run.allowed;
    return run.met ? std::min(late, -resolution) : std::max(late, resolution);
}

}  // namespace

BoundaryResult findBoundary(const BoundarySearch& search, const BoundaryFlight& fly) {
    BoundaryResult result;
    if (!(search.tolerance > 0.0) || !std::isfinite(search.from) || !std::isfinite(search.to) ||
        search.from == search.to) {
        result.error = "the range needs two different ends and the tolerance must be above zero";
        return result;
    }
    auto f = [&](double value) {
        if (result.runs.size() >= search.maxRuns)
            throw SearchStopped{"no answer within " + std::to_string(search.maxRuns) + " runs"};
        BoundaryRun run;
        run.value = value;
        std::string error;
        if (!fly(value, run, error)) throw SearchStopped{error};
        result.runs.push_back(run);
        return margin(run, search.resolution);
    };
    const double a = std::min(search.from, search.to), b = std::max(search.from, search.to);
    try {
        const double fa = f(a), fb = f(b);
        if ((fa < 0) == (fb < 0)) {
            result.error = std::string("the goal is ") + (fa < 0 ? "met" : "not met") +
                           " in time at both ends of the range; widen it";
            return result;
        }
        const double width = search.tolerance;
        auto narrowEnough = [width](double lo, double hi) { return std::abs(hi - lo) <= width; };
        std::uintmax_t iterations = search.maxRuns;
        const std::pair<double, double> bracket =
            boost::math::tools::toms748_solve(f, a, b, fa, fb, narrowEnough, iterations);
        // Both ends of the bracket were flown; the runs say which met.
        bool firstMet = false;
        for (const BoundaryRun& run : result.runs)
            if (run.value == bracket.first) firstMet = run.met;
        result.answer = firstMet ? bracket.first : bracket.second;
        result.unmet = firstMet ? bracket.second : bracket.first;
        result.tolerance = std::abs(bracket.second - bracket.first);
        if (!(result.tolerance <= width)) {
            result.error = "no answer within " + std::to_string(search.maxRuns) + " runs";
            return result;
        }
        result.ok = true;
    } catch (const SearchStopped& stopped) {
        result.error = stopped.error;
    } catch (const std::exception& e) {  // Boost's evaluation errors
        result.error = e.what();
    }
    return result;
}

}  // namespace zolksim
