#include "host/step_gravity.h"

#include "host/world.h"

namespace simhost {

void StepGravity::resize(std::size_t count) {
    mid_.resize(count);
    end_.resize(count);
    other_.resize(count);
    otherValid_ = false;
}

void StepGravity::begin(const BodyOrbit* orbits, const StateVectors* start, double startMjd, double t0, double dt) {
    orbits_ = orbits;
    start_ = start;
    startMjd_ = startMjd;
    t0_ = t0;
    dt_ = dt;
    otherValid_ = false;
    // The same arithmetic as World::mjd() at t0 + dt, so the end states are
    // exactly those of the bodies at the new time.
    ephemerisStates(orbits, mid_.size(), startMjd + (t0 + 0.5 * dt) / kSecondsPerDay, mid_.data());
    ephemerisStates(orbits, end_.size(), startMjd + (t0 + dt) / kSecondsPerDay, end_.data());
}

VECTOR3 StepGravity::acceleration(double s, const VECTOR3& r) {
    return gravityAcceleration(r, BodySnapshot{orbits_, statesAt(s), mid_.size()});
}

const StateVectors* StepGravity::statesAt(double s) {
    if (s == 0.0) return start_;
    if (s == 0.5 * dt_) return mid_.data();
    if (s == dt_) return end_.data();
    if (!otherValid_ || s != otherTime_) {
        ephemerisStates(orbits_, other_.size(), startMjd_ + (t0_ + s) / kSecondsPerDay, other_.data());
        otherTime_ = s;
        otherValid_ = true;
    }
    return other_.data();
}

}  // namespace simhost
