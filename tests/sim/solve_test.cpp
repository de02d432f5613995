// Targeting: the boundary search on flights whose answer is known, and
// `zolksim solve` on the default tug, its answer checked by flying it.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "host/physics/physical_constants.h"
#include "sim/run/run.h"
#include "sim/solve/boundary_search.h"
#include "sim/sweep/case_flight.h"

namespace {

using zolksim::BoundaryResult;
using zolksim::BoundaryRun;
using zolksim::BoundarySearch;

// A stand-in flight: the goal is reached after 10 / value days, allowed 4 days,
// so the boundary is at 2.5 (met above it).
bool inverseFlight(double value, BoundaryRun& run, std::string&) {
    run.allowed = 4.0;
    run.timeToGoal = 10.0 / value;
    run.met = run.timeToGoal <= run.allowed;
    return true;
}

TEST(BoundarySearch, AnswerOnTheMeetingSideWithinTheTolerance) {
    BoundarySearch search{1.0, 8.0, 1e-6, 1e-9, 60};
    const BoundaryResult r = zolksim::findBoundary(search, inverseFlight);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_GE(r.answer, 2.5);
    EXPECT_LT(r.unmet, 2.5);
    EXPECT_LE(r.tolerance, 1e-6);
    EXPECT_DOUBLE_EQ(r.tolerance, r.answer - r.unmet);
    // Both ends were flown, and the runs say so.
    bool answerMet = false, unmetMet = true;
    for (const BoundaryRun& run : r.runs) {
        if (run.value == r.answer) answerMet = run.met;
        if (run.value == r.unmet) unmetMet = run.met;
    }
    EXPECT_TRUE(answerMet);
    EXPECT_FALSE(unmetMet);
    // Halving 7 down to 1e-6 takes 23 runs; the root finder's interpolation far fewer.
    EXPECT_LT(r.runs.size(), 15u);
    EXPECT_EQ(r.runs[0].value, 1.0);  // the ends first, lower one first
    EXPECT_EQ(r.runs[1].value, 8.0);
}

TEST(BoundarySearch, MetAtTheLowEndGivesTheHighestValueThatMeets) {
    // A later start: the goal takes 3 days wherever it starts, and the
    // deadline is 7 days from now, so the latest start is 4 days.
    auto later = [](double delay, BoundaryRun& run, std::string&) {
        run.allowed = 7.0 - delay;
        run.timeToGoal = 3.0;
        run.met = run.timeToGoal <= run.allowed;
        return true;
    };
    const BoundaryResult r = zolksim::findBoundary({6.0, 0.0, 1e-4, 1e-9, 60}, later);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_LE(r.answer, 4.0);
    EXPECT_GT(r.unmet, 4.0);
    EXPECT_NEAR(r.answer, 4.0, 1e-4);
}

TEST(BoundarySearch, RefusesARangeWithoutABoundaryAndStopsOnAFailedFlight) {
    BoundaryResult r = zolksim::findBoundary({3.0, 8.0, 1e-3, 1e-9, 60}, inverseFlight);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("met in time at both ends"), std::string::npos) << r.error;

    int flown = 0;
    auto failing = [&](double value, BoundaryRun& run, std::string& error) {
        if (++flown == 3) {
            error = "case broke";
            return false;
        }
        return inverseFlight(value, run, error);
    };
    r = zolksim::findBoundary({1.0, 8.0, 1e-6, 1e-9, 60}, failing);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "case broke");

    // A run budget too small for the tolerance is no answer, not a wide one.
    r = zolksim::findBoundary({1.0, 8.0, 1e-12, 1e-9, 5}, inverseFlight);
    EXPECT_FALSE(r.ok);
    EXPECT_LE(r.runs.size(), 5u);
}

// The least thrust that brings the default tug's mean apoapsis (over its last
// full orbit) to 5000 km within 7 days; it has 3 N, too little. The answer
// flown meets the goal within the 7 days, the answer less its tolerance does not.
TEST(Solve, LeastThrustOfTheDefaultTugCheckedByFlyingIt) {
    const std::string goal = "mean apoapsis >= 5000 km";
    std::vector<const char*> argv = {"zolksim", "solve", "--goal", goal.c_str(), "--within", "7", "--find", "thrust",
                                     "--from", "1", "--to", "8", "--tolerance", "0.01", "--step", "10",
                                     "--module", ZOLK_MODULE_PATH};
    std::ostringstream out, err;
    ASSERT_EQ(zolksim::runZolksim(static_cast<int>(argv.size()), argv.data(), out, err), 0) << err.str();
    const std::string text = out.str();
    const std::string head = "least thrust_N meeting \"" + goal + "\" within 7 days: ";
    const std::size_t at = text.find(head);
    ASSERT_NE(at, std::string::npos) << text;
    double answer = 0, tolerance = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + at + head.size(), "%lf (tolerance %lf", &answer, &tolerance), 2) << text;
    EXPECT_GT(answer, 3.0);  // more than the tug has
    EXPECT_LT(answer, 8.0);
    EXPECT_GT(tolerance, 0.0);
    EXPECT_LE(tolerance, 0.01);

    auto fly = [&](double thrust) {
        zolksim::Study study;
        study.goal = zolksim::parseGoalCondition(goal).condition;
        study.limitDays = 7;
        study.step = 10;
        study.varied = {{zolksim::StudyParameter::Thrust, {thrust}}};
        zolksim::CaseResult result;
        std::string error;
        EXPECT_TRUE(zolksim::flyCase(study, 0, ZOLK_MODULE_PATH, result, error)) << error;
        return result.met;
    };
    EXPECT_TRUE(fly(answer));
    EXPECT_FALSE(fly(answer - tolerance));
}

// A step the flight guard refuses (over 55 s at 400 km) ends the flight at
// once: an error, not an "unmet" run a wrong answer could rest on.
TEST(Solve, AFlightTheGuardStopsIsAnErrorNotAnUnmetRun) {
    std::vector<const char*> argv = {"zolksim", "solve", "--goal", "days >= 3", "--within", "7", "--find",
                                     "start_delay", "--from", "0", "--to", "6", "--step", "60",
                                     "--quiet", "--module", ZOLK_MODULE_PATH};
    std::ostringstream out, err;
    EXPECT_NE(zolksim::runZolksim(static_cast<int>(argv.size()), argv.data(), out, err), 0);
    EXPECT_NE(err.str().find("start_delay 0: "), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("both ends"), std::string::npos) << err.str();
}

// A later start keeps the deadline: a goal that takes 3 days, due within 7,
// can start 4 days late at most.
TEST(Solve, LatestStartLeavesTheTimeTheGoalTakes) {
    std::vector<const char*> argv = {"zolksim", "solve", "--goal", "days >= 3", "--within", "7", "--find",
                                     "start_delay", "--from", "0", "--to", "6", "--tolerance", "0.01", "--step", "50",
                                     "--quiet", "--module", ZOLK_MODULE_PATH};
    std::ostringstream out, err;
    ASSERT_EQ(zolksim::runZolksim(static_cast<int>(argv.size()), argv.data(), out, err), 0) << err.str();
    const std::string head = "latest start_delay_d meeting \"days >= 3\" within 7 days: ";
    ASSERT_EQ(out.str().rfind(head, 0), 0u) << out.str();
    const double answer = std::stod(out.str().substr(head.size()));
    EXPECT_LE(answer, 4.0);
    EXPECT_GT(answer, 4.0 - 0.01);
}

TEST(Solve, RefusesAnUnknownParameterAndADelayPastTheDeadline) {
    auto solve = [](std::vector<const char*> args) {
        args.insert(args.begin(), {"zolksim", "solve", "--goal", "apoapsis >= 5000 km", "--within", "7"});
        std::ostringstream out, err;
        const int status = zolksim::runZolksim(static_cast<int>(args.size()), args.data(), out, err);
        return std::pair{status, err.str()};
    };
    auto [status, err] = solve({"--find", "colour", "--from", "1", "--to", "2"});
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.find("unknown parameter 'colour'"), std::string::npos) << err;
    std::tie(status, err) = solve({"--find", "start_delay", "--from", "0", "--to", "7"});
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.find("before the deadline"), std::string::npos) << err;
}

}  // namespace
