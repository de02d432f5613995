// The bodies' gravity over one time step, for integrating the vessels.
#pragma once

#include <vector>

#include "host/gravity.h"

namespace simhost {

// Bodies follow the ephemeris. Their states at the start, middle and end of a
// step (the stage times of a whole-step RK4) are evaluated once and shared by
// all vessels; any other moment (a step split where a tank runs dry) is
// evaluated on demand. Allocates only in resize.
class StepGravity {
public:
    // Makes room for count bodies.
    void resize(std::size_t count);
    // Starts a step of dt seconds from simulation time t0 (s). start holds the
    // bodies' states at t0 and must stay valid through the step; simulation time
    // 0 is the date startMjd.
    void begin(const BodyOrbit* orbits, const StateVectors* start, double startMjd, double t0, double dt);
    // Global acceleration (m/s^2) at global position r, s seconds into the step.
    VECTOR3 acceleration(double s, const VECTOR3& r);
    // Hands over the bodies' states at the end of the step, taking into's old
    // storage in exchange (same size, no allocation).
    void takeEndStates(std::vector<StateVectors>& into) { into.swap(end_); }

private:
    const StateVectors* statesAt(double s);

    const BodyOrbit* orbits_ = nullptr;
    const StateVectors* start_ = nullptr;
    double startMjd_ = 0.0;
    double t0_ = 0.0;
    double dt_ = 0.0;
    std::vector<StateVectors> mid_, end_;
    std::vector<StateVectors> other_;  // at otherTime_ (s into the step)
    double otherTime_ = 0.0;
    bool otherValid_ = false;
};

}  // namespace simhost
