#include "sim/goal/orbit_history.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "host/physics/zonal_gravity.h"
#include "host/world/world.h"
#include "sim/pictures/orbit_track.h"
#include "sim/run/summary.h"

namespace zolksim {

namespace {

constexpr double kKm = 1000.0;

// The exhaust speed (m/s) of the thrusters firing now, weighted by their
// propellant flow (thrust / ISP); 0 when none fires.
double exhaustSpeed(const simhost::Vessel& vessel) {
    double thrust = 0.0, flow = 0.0;
    for (const auto& t : vessel.thrusters) {
        if (t->level <= 0.0 || t->max0 <= 0.0 || t->isp <= 0.0 || !t->resource || t->resource->mass <= 0.0) continue;
        thrust += t->level * t->max0;
        flow += t->level * t->max0 / t->isp;
    }
    return flow > 0.0 ? thrust / flow : 0.0;
}

OrbitShape between(const OrbitShape& a, const OrbitShape& b, double f) {
    auto mix = [f](double x, double y) { return x == y ? x : x + f * (y - x); };
    return {mix(a.periapsisKm, b.periapsisKm), mix(a.apoapsisKm, b.apoapsisKm), mix(a.periodMin, b.periodMin),
            mix(a.eccentricity, b.eccentricity)};
}

}  // namespace

OrbitHistory::OrbitHistory(const simhost::Vessel& vessel, const simhost::Body& body)
    : vessel_(vessel), body_(body), pole_(vec3(0, 0, 1)) {
    if (const simhost::ZonalField* field = simhost::builtInZonalField(body.name, body.gm))
        pole_ = field->pole(simhost::world().mjd());
}

OrbitHistory::Moment OrbitHistory::moment(double time) const {
    const VECTOR3 r = vessel_.pos - body_.state.pos, v = vessel_.vel - body_.state.vel;
    const double mu = body_.gm, radius = length(r), v2 = dotp(v, v);
    const VECTOR3 h = crossp(r, v);
    const double h2 = dotp(h, h);
    const double energy = v2 / 2 - mu / radius;  // J/kg; negative on a closed orbit
    const double e = std::sqrt(std::max(0.0, 1.0 + 2.0 * energy * h2 / (mu * mu)));
    Moment m{time, {}, dotp(r, v)};
    m.shape.eccentricity = e;
    m.shape.periapsisKm = (h2 / (mu * (1.0 + e)) - body_.radius) / kKm;
    if (energy < 0.0 && e < 1.0) {
        const double a = -mu / (2.0 * energy);
        m.shape.apoapsisKm = (a * (1.0 + e) - body_.radius) / kKm;
        m.shape.periodMin = 2.0 * std::numbers::pi * std::sqrt(a * a * a / mu) / 60.0;
    } else {
        m.shape.apoapsisKm = m.shape.periodMin = std::numeric_limits<double>::infinity();
    }
    return m;
}

void OrbitHistory::accumulate(const Moment& from, const Moment& to) {
    const double dt = to.time - from.time;
    if (dt <= 0.0) return;
    // Trapezoids; an infinite figure makes its mean infinite.
    auto add = [dt](double& sum, double a, double b) { sum += (a == b ? a : (a + b) / 2) * dt; };
    add(sums_.periapsisKm, from.shape.periapsisKm, to.shape.periapsisKm);
    add(sums_.apoapsisKm, from.shape.apoapsisKm, to.shape.apoapsisKm);
    add(sums_.periodMin, from.shape.periodMin, to.shape.periodMin);
    add(sums_.eccentricity, from.shape.eccentricity, to.shape.eccentricity);
}

void OrbitHistory::close(const Moment& at, bool full) {
    OrbitRow row;
    row.orbit = rows_.size();
    row.full = full;
    row.start = rowStart_;
    row.end = at.time;
    row.osculating = at.shape;
    const VECTOR3 h = crossp(vessel_.pos - body_.state.pos, vessel_.vel - body_.state.vel);
    row.inclinationDeg = std::acos(std::clamp(dotp(unit(h), pole_), -1.0, 1.0)) * 180.0 / std::numbers::pi;
    const double span = at.time - rowStart_;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    row.mean = span > 0.0 ? OrbitShape{sums_.periapsisKm / span, sums_.apoapsisKm / span, sums_.periodMin / span,
                                       sums_.eccentricity / span}
                          : OrbitShape{nan, nan, nan, nan};
    row.propellantKg = propellantOf(vessel_);
    row.burnSeconds = burn_;
    row.deltaV = deltaV_;
    row.deltaVTotal = deltaVTotal_;
    if (full) {
        previousFullIndex_ = lastFullIndex_;
        lastFullIndex_ = rows_.size();
        ++fullCount_;
    }
    rows_.push_back(row);
    rowStart_ = at.time;
    sums_ = {};
    burn_ = deltaV_ = 0.0;
}

void OrbitHistory::observe(double time) {
    const Moment now = moment(time);
    const double mass = vessel_.mass();
    if (!started_) {
        started_ = true;
        rowStart_ = time;
        last_ = now;
        lastMass_ = mass;
        return;
    }
    const double dt = time - last_.time;
    if (mainEnginesBurning(vessel_)) burn_ += dt;
    if (mass < lastMass_) {
        const double dv = exhaustSpeed(vessel_) * std::log(lastMass_ / mass);
        deltaV_ += dv;
        deltaVTotal_ += dv;
    }
    lastMass_ = mass;
    if (last_.radialSpeed > 0.0 && now.radialSpeed <= 0.0) {
        // The apoapsis passed within the step: where r . v, taken as linear
        // over it, crossed zero.
        const double f = last_.radialSpeed / (last_.radialSpeed - now.radialSpeed);
        const Moment apoapsis{last_.time + f * dt, between(last_.shape, now.shape, f), 0.0};
        accumulate(last_, apoapsis);
        // The first row runs from the start, not from an apoapsis.
        close(apoapsis, !rows_.empty());
        last_ = apoapsis;
    }
    accumulate(last_, now);
    last_ = now;
}

void OrbitHistory::finish(double time) {
    if (!started_) return;
    if (time > last_.time) observe(time);
    if (last_.time > rowStart_ || rows_.empty()) close(last_, false);
}

}  // namespace zolksim
