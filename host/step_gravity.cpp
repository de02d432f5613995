#include "host/step_gravity.h"

#include <cmath>

#include "host/physical_constants.h"

namespace simhost {

void StepGravity::resize(std::size_t count) {
    mid_.resize(count);
    end_.resize(count);
    other_.resize(count);
    otherValid_ = false;
}

void StepGravity::begin(FittedEphemeris& ephemeris, const StateVectors* start, double startMjd, double t0,
                        double dt) {
    ephemeris_ = &ephemeris;
    start_ = start;
    startMjd_ = startMjd;
    t0_ = t0;
    dt_ = dt;
    otherValid_ = false;
    // The same arithmetic as World::mjd() at t0 + dt, so the end states are
    // exactly those of the bodies at the new time.
    ephemeris.states(startMjd + (t0 + 0.5 * dt) / kSecondsPerDay, mid_.data(), false);
    ephemeris.states(startMjd + (t0 + dt) / kSecondsPerDay, end_.data());
}

int StepGravity::referenceBody(const VECTOR3& r) const {
    return dominantBody(r, BodySnapshot{ephemeris_->orbits().data(), start_, end_.size()});
}

const StateVectors& StepGravity::bodyState(int i, double s) { return s == 0.0 ? start_[i] : end_[i]; }

VECTOR3 StepGravity::acceleration(int ref, double s, const VECTOR3& r) {
    const StateVectors* states = statesAt(s);
    const BodyOrbit* orbits = ephemeris_->orbits().data();
    const std::size_t count = end_.size();
    if (ref < 0) return gravityAcceleration(r, BodySnapshot{orbits, states, count});
    VECTOR3 sum{0.0, 0.0, 0.0};
    const double r2 = dotp(r, r);
    if (r2 > 0.0) sum = r * (-orbits[ref].gm / (r2 * std::sqrt(r2)));
    const VECTOR3 origin = states[ref].pos;
    for (std::size_t k = 0; k < count; ++k) {
        if (static_cast<int>(k) == ref) continue;
        const VECTOR3 body = states[k].pos - origin;  // relative to the reference body
        const VECTOR3 d = body - r;
        const double d2 = dotp(d, d), b2 = dotp(body, body);
        const double gm = orbits[k].gm;
        if (d2 > 0.0) sum = sum + d * (gm / (d2 * std::sqrt(d2)));
        if (b2 > 0.0) sum = sum - body * (gm / (b2 * std::sqrt(b2)));
    }
    return sum;
}

const StateVectors* StepGravity::statesAt(double s) {
    if (s == 0.0) return start_;
    if (s == 0.5 * dt_) return mid_.data();
    if (s == dt_) return end_.data();
    if (!otherValid_ || s != otherTime_) {
        ephemeris_->states(startMjd_ + (t0_ + s) / kSecondsPerDay, other_.data(), false);
        otherTime_ = s;
        otherValid_ = true;
    }
    return other_.data();
}

}  // namespace simhost
