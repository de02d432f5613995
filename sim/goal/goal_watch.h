// Watches a flight for its goal: after every step the controlled vessel's
// figures, read as the summary reads them, are held against the condition.
#pragma once

#include <cstdint>
#include <memory>

#include "host/world/body.h"
#include "host/world/vessel.h"
#include "sim/goal/goal_condition.h"
#include "sim/goal/orbit_history.h"

namespace zolksim {

// The vessel's figures now: its orbit about body, its propellant, and the
// time; the means from history's last full orbit (NaN without one, or without
// a history).
GoalFigures goalFigures(simhost::Vessel& vessel, const simhost::Body& body, double simTime, bool withOrbit,
                        const OrbitHistory* history = nullptr);

class GoalWatch {
public:
    // history: the flight's, observed after every step before the goal is
    // checked. Without one, a goal on means keeps one of its own.
    GoalWatch(const GoalCondition& condition, simhost::Vessel& vessel, const simhost::Body& body,
              const OrbitHistory* history = nullptr);

    // Whether the goal is met at simTime (s), after `steps` steps; the first
    // time it is, the step is remembered, and when between this check and the
    // one before the condition came to hold (GoalCondition::metTime).
    bool check(double simTime, std::uint64_t steps);

    const GoalCondition& condition() const { return condition_; }
    bool met() const { return met_; }
    std::uint64_t metStep() const { return metStep_; }
    double metTime() const { return metTime_; }  // simulated s: the step's end
    double crossingTime() const { return crossingTime_; }  // simulated s, interpolated

private:
    const GoalCondition& condition_;
    simhost::Vessel& vessel_;
    const simhost::Body& body_;
    bool withOrbit_;
    std::unique_ptr<OrbitHistory> ownHistory_;
    const OrbitHistory* history_;
    bool checked_ = false;
    GoalFigures before_{};
    bool met_ = false;
    std::uint64_t metStep_ = 0;
    double metTime_ = 0.0, crossingTime_ = 0.0;
};

}  // namespace zolksim
