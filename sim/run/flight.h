// The stepping loop: the pilot acts, the world steps, the track observes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "sim/goal/goal_watch.h"
#include "sim/goal/orbit_history.h"
#include "sim/pictures/orbit_track.h"
#include "sim/pilot/pilot.h"
#include "sim/run/flight_guard.h"
#include "sim/run/progress_bar.h"

namespace zolksim {

// More steps than this is surely a mistake in --step (a billion-year run).
constexpr double kMaxSteps = 1e10;

class Flight {
public:
    // duration and step in simulated s, both above zero; the last step is
    // shortened to end the run exactly at duration.
    Flight(double duration, double step);
    std::uint64_t stepCount() const { return steps_; }

    // Flies the whole run, or until the goal is met or the flight guard stops
    // it (a step too coarse for the orbit, a path through the body's surface:
    // flight_guard.h), checked before the goal, so that no goal is met on such
    // a step. afterFirstStep runs once the module has seen a step (its figures
    // are then up to date). Actions due at the very end are carried out after
    // the last step.
    void fly(Pilot& pilot, OrbitTrack& track, ProgressBar& progress, const std::function<void()>& afterFirstStep);
    // A goal ends the flight at the first step that meets it (before any step,
    // when the start already does); null flies the whole duration.
    void stopAt(GoalWatch* goal) { goal_ = goal; }
    // A history observed at the start, after every step (before the goal is
    // checked) and finished at the end; null keeps none.
    void record(OrbitHistory* history) { history_ = history; }

    // How the flight ended; for HitBody and StepTooCoarse, when (simulated s,
    // the hit interpolated within its step) and why, as a message says it.
    FlightEnd end() const { return end_; }
    double stopTime() const { return stopTime_; }
    const std::string& stopReason() const { return stopReason_; }
    std::uint64_t stepsFlown() const { return flown_; }

private:
    double duration_, step_;
    std::uint64_t steps_;
    GoalWatch* goal_ = nullptr;
    OrbitHistory* history_ = nullptr;
    FlightEnd end_ = FlightEnd::Limit;
    double stopTime_ = 0.0;
    std::string stopReason_;
    std::uint64_t flown_ = 0;
};

}  // namespace zolksim
