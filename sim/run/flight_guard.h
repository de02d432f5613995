// Keeps a flight from giving confident nonsense: a step too coarse for the
// orbit, or a path through the body's surface, ends the flight there.
//
// The rule for the step: at most a hundredth of the period of a circular
// orbit at the vessel's distance from the body, 2 pi sqrt(r^3 / GM) / 100
// (55 s at 400 km above Earth, 862 s at geostationary height). Coarser steps
// cut the orbit into chords and the burn windows into few pieces: the default
// mission at 150 s ends 57 km lower than at 1 s, at 300 s 950 km lower. The
// distance is the present one, so the rule tightens as the vessel comes
// closer, and it holds for open orbits too.
#pragma once

#include <cstdint>
#include <string>

#include "host/world/body.h"
#include "host/world/vessel.h"

namespace zolksim {

constexpr double kStepsPerCircularOrbit = 100.0;

// The longest step (s) the rule allows at distance r (m) from a body of
// gravitational parameter gm (m^3/s^2).
double longestSoundStep(double gm, double r);

// Why a flight at this step cannot start from the vessel's present state
// (the step too coarse, or the vessel beneath the surface); empty when it can.
std::string unsoundStartReason(const simhost::Vessel& vessel, const simhost::Body& body, double step);

enum class FlightEnd {
    Limit,          // flown to its end
    GoalMet,        // stopped on the step that met the goal
    HitBody,        // the path went through the body's surface
    StepTooCoarse,  // the step broke the rule above
};

class FlightGuard {
public:
    FlightGuard(const simhost::Vessel& vessel, const simhost::Body& body, double step);

    // At the start (before any step): false when the flight cannot start.
    bool checkStart(double time);
    // After a step that ended at `time` (s): false when the flight must stop;
    // end(), stopTime() and reason() then say why and when.
    bool checkStep(double time);

    FlightEnd end() const { return end_; }
    // When the vessel hit the surface (interpolated within the step), or when
    // the step became too coarse; simulated s.
    double stopTime() const { return stopTime_; }
    // "Ion Tug hit Earth's surface" or the rule broken, for messages.
    const std::string& reason() const { return reason_; }

private:
    bool stop(FlightEnd end, double time, std::string reason);

    const simhost::Vessel& vessel_;
    const simhost::Body& body_;
    double step_;
    double lastTime_ = 0.0, lastRadius_ = 0.0, lastRadialSpeed_ = 0.0;
    FlightEnd end_ = FlightEnd::Limit;
    double stopTime_ = 0.0;
    std::string reason_;
};

}  // namespace zolksim
