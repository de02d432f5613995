// Watches a flight for its goal: after every step the controlled vessel's
// figures, read as the summary reads them, are held against the condition.
#pragma once

#include <cstdint>

#include "host/world/body.h"
#include "host/world/vessel.h"
#include "sim/goal/goal_condition.h"

namespace zolksim {

// The vessel's figures now: its orbit about body, its propellant, and the time.
GoalFigures goalFigures(simhost::Vessel& vessel, const simhost::Body& body, double simTime, bool withOrbit);

class GoalWatch {
public:
    GoalWatch(const GoalCondition& condition, simhost::Vessel& vessel, const simhost::Body& body)
        : condition_(condition), vessel_(vessel), body_(body), withOrbit_(condition.needsOrbit()) {}

    // Whether the goal is met at simTime (s), after `steps` steps; the first
    // time it is, the step is remembered.
    bool check(double simTime, std::uint64_t steps) {
        if (!condition_.metBy(goalFigures(vessel_, body_, simTime, withOrbit_))) return false;
        met_ = true;
        metStep_ = steps;
        metTime_ = simTime;
        return true;
    }

    const GoalCondition& condition() const { return condition_; }
    bool met() const { return met_; }
    std::uint64_t metStep() const { return metStep_; }
    double metTime() const { return metTime_; }  // simulated s

private:
    const GoalCondition& condition_;
    simhost::Vessel& vessel_;
    const simhost::Body& body_;
    bool withOrbit_;
    bool met_ = false;
    std::uint64_t metStep_ = 0;
    double metTime_ = 0.0;
};

}  // namespace zolksim
