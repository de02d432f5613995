#include "host/physics/step_gravity.h"

#include <cmath>
#include <utility>

#include "host/physics/physical_constants.h"
#include "host/physics/sphere_of_influence.h"

namespace simhost {

void StepGravity::resize(std::size_t count) {
    mid_.resize(count);
    end_.resize(count);
    other_.resize(count);
    otherValid_ = false;
    fields_.assign(count, nullptr);
    poles_.resize(count);
    poleRates_.resize(count);
    poleFields_.assign(count, nullptr);
    polesMjd_.assign(count, 0.0);
    reach2_.assign(count, 0.0);
    influence2_.resize(count);
    influenceFor_ = nullptr;
    for (Stage& stage : stages_) {
        stage.rel.resize(count);
        stage.ref = -2;
    }
}

void StepGravity::begin(FittedEphemeris& ephemeris, const StateVectors* start, double startMjd, double t0,
                        double dt, const ZonalField* const* zonal) {
    const double mjd = startMjd + t0 / kSecondsPerDay;
    const bool carried = endStageCarriesTo(ephemeris, start, mjd);
    ephemeris_ = &ephemeris;
    start_ = start;
    startMjd_ = startMjd;
    t0_ = t0;
    dt_ = dt;
    otherValid_ = false;
    if (influenceFor_ != &ephemeris) {
        influenceRadii2(ephemeris.orbits().data(), influence2_.size(), influence2_.data());
        influenceFor_ = &ephemeris;
    }
    // Each stage is prepared afresh, except that the start stage takes over the
    // last step's end stage (vectors swapped, no allocation) when the bodies
    // start where that stage had them.
    if (carried) std::swap(stages_[0], stages_[2]);
    for (int i = carried ? 1 : 0; i < 4; ++i) stages_[i].ref = -2;
    // The same arithmetic as World::mjd() at t0 + dt, so the end states are
    // exactly those of the bodies at the new time.
    ephemeris.states(startMjd + (t0 + dt) / kSecondsPerDay, end_.data());
    if (std::fabs(dt) <= ephemeris.midpointStepLimit()) {
        for (std::size_t k = 0; k < mid_.size(); ++k) mid_[k].pos = midpointPosition(start[k], end_[k], dt);
    } else {
        ephemeris.states(startMjd + (t0 + 0.5 * dt) / kSecondsPerDay, mid_.data(), false);
    }
    const StateVectors* states[] = {start, mid_.data(), end_.data(), other_.data()};
    for (int i = 0; i < 4; ++i) stages_[i].states = states[i];
    for (std::size_t k = 0; k < fields_.size(); ++k) {
        const ZonalField* field = zonal ? zonal[k] : nullptr;
        fields_[k] = field;
        if (!field) continue;
        const double since = mjd - polesMjd_[k];
        if (poleFields_[k] == field && std::fabs(since) <= kPoleSpanDays) continue;
        poles_[k] = field->pole(mjd);
        poleRates_[k] = (field->pole(mjd + kPoleSpanDays) - poles_[k]) * (1.0 / kPoleSpanDays);
        const double reach = zonalReach(*field, ephemeris.orbits()[k].gm);
        reach2_[k] = reach * reach;
        poleFields_[k] = field;
        polesMjd_[k] = mjd;
    }
    // The same arithmetic for each stage's date as for the step's end above.
    stages_[0].mjd = mjd;
    stages_[1].mjd = startMjd + (t0 + 0.5 * dt) / kSecondsPerDay;
    stages_[2].mjd = startMjd + (t0 + dt) / kSecondsPerDay;
}

bool StepGravity::endStageCarriesTo(const FittedEphemeris& ephemeris, const StateVectors* start, double mjd) const {
    // The end states handed over by takeEndStates, at the date they were
    // evaluated for, from the same ephemeris: the very positions the end stage
    // was prepared from, without comparing them body by body.
    const Stage& end = stages_[2];
    return end.ref >= 0 && start == end.states && end.mjd == mjd && ephemeris_ == &ephemeris;
}

int StepGravity::referenceBody(const VECTOR3& r, int previous) const {
    const BodyOrbit* orbits = ephemeris_->orbits().data();
    const int body = influencingBody(r, orbits, start_, influence2_.data(), end_.size(), previous);
    // Every sphere missing r happens only when no body lacks a parent.
    return body >= 0 ? body : dominantBody(r, BodySnapshot{orbits, start_, end_.size()});
}

const StateVectors& StepGravity::bodyState(int i, double s) { return s == 0.0 ? start_[i] : end_[i]; }

void StepGravity::prepare(Stage& stage, int ref) const {
    const BodyOrbit* orbits = ephemeris_->orbits().data();
    const StateVectors* states = stage.states;
    const Lanes origin = lanesOf(states[ref].pos);
    Lanes indirect{0.0, 0.0, 0.0, 0.0};
    for (std::size_t k = 0; k < end_.size(); ++k) {
        const Lanes body = lanesOf(states[k].pos) - origin;
        stage.rel[k].lanes = body;
        const double b2 = squaredLength(body);
        if (static_cast<int>(k) != ref && b2 > 0.0) indirect = indirect + body * (orbits[k].gm / (b2 * std::sqrt(b2)));
    }
    stage.indirect = vectorOf(indirect);
    stage.ref = ref;
}

VECTOR3 StepGravity::acceleration(int ref, double s, const VECTOR3& relPos) {
    Stage& stage = stageAt(s);
    const BodyOrbit* orbits = ephemeris_->orbits().data();
    const std::size_t count = end_.size();
    if (ref < 0) return gravityAcceleration(relPos, BodySnapshot{orbits, stage.states, count});
    if (stage.ref != ref) prepare(stage, ref);
    // Each body's pull on the vessel (ref's included: its rel is zero) and, for
    // an oblate body within reach, its zonal terms from the same distance.
    const Lanes vessel = lanesOf(relPos);
    // The arrays read for every body, taken once (the loop writes nothing they hold).
    const PackedLanes* rel = stage.rel.data();
    const ZonalField* const* fields = fields_.data();
    const double* reach2 = reach2_.data();
    Lanes sum{0.0, 0.0, 0.0, 0.0};
    for (std::size_t k = 0; k < count; ++k) {
        const Lanes d = rel[k].lanes - vessel;  // vessel to body k
        const double d2 = squaredLength(d);
        if (!(d2 > 0.0)) continue;
        const double invD = 1.0 / std::sqrt(d2), pull = orbits[k].gm * invD * invD;  // 1/m, m/s^2
        sum = sum + d * (pull * invD);
        if (fields[k] && d2 < reach2[k]) {
            // The pole at the stage's date, on the chord across its span.
            const VECTOR3 pole = poles_[k] + poleRates_[k] * (stage.mjd - polesMjd_[k]);
            sum = sum + lanesOf(zonalPull(*fields[k], pole, -vectorOf(d), invD, pull));
        }
    }
    return vectorOf(sum) - stage.indirect;
}

StepGravity::Stage& StepGravity::stageAt(double s) {
    if (s == 0.0) return stages_[0];
    if (s == 0.5 * dt_) return stages_[1];
    if (s == dt_) return stages_[2];
    if (!otherValid_ || s != otherTime_) {
        ephemeris_->states(startMjd_ + (t0_ + s) / kSecondsPerDay, other_.data(), false);
        otherTime_ = s;
        otherValid_ = true;
        stages_[3].mjd = startMjd_ + (t0_ + s) / kSecondsPerDay;
        stages_[3].ref = -2;
    }
    return stages_[3];
}

}  // namespace simhost
