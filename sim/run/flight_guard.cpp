#include "sim/run/flight_guard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace zolksim {

namespace {

struct Relative {
    VECTOR3 pos, vel;  // m, m/s, global axes
};

Relative relativeTo(const simhost::Vessel& vessel, const simhost::Body& body) {
    return {vessel.pos - body.state.pos, vessel.vel - body.state.vel};
}

// The periapsis distance (m) of the osculating conic, closed or open: h^2 / (GM (1 + e)).
double periapsisRadius(const Relative& s, double gm) {
    const double r = length(s.pos), v2 = dotp(s.vel, s.vel);
    const VECTOR3 h = crossp(s.pos, s.vel);
    const VECTOR3 e = (s.pos * (v2 - gm / r) - s.vel * dotp(s.pos, s.vel)) * (1.0 / gm);
    return dotp(h, h) / (gm * (1.0 + length(e)));
}

std::string seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g s", s);
    return text;
}

std::string coarseReason(double step, double longest, double r, const simhost::Body& body) {
    char text[48];
    std::snprintf(text, sizeof text, "%.0f km", (r - body.radius) / 1000.0);
    return "a step of " + seconds(step) + " is too coarse at " + text + " above " + body.name +
           ": at most a hundredth of a circular orbit's period there, " + seconds(longest) +
           " (take a shorter --step)";
}

}  // namespace

double longestSoundStep(double gm, double r) {
    return 2.0 * std::numbers::pi * std::sqrt(r * r * r / gm) / kStepsPerCircularOrbit;
}

std::string unsoundStartReason(const simhost::Vessel& vessel, const simhost::Body& body, double step) {
    const double r = length(relativeTo(vessel, body).pos);
    if (r < body.radius) return vessel.name + " starts beneath the surface of " + body.name;
    const double longest = longestSoundStep(body.gm, r);
    if (!(step <= longest)) return coarseReason(step, longest, r, body);
    return {};
}

FlightGuard::FlightGuard(const simhost::Vessel& vessel, const simhost::Body& body, double step)
    : vessel_(vessel), body_(body), step_(step) {}

bool FlightGuard::stop(FlightEnd end, double time, std::string reason) {
    end_ = end;
    stopTime_ = time;
    reason_ = std::move(reason);
    return false;
}

bool FlightGuard::checkStart(double time) {
    const Relative s = relativeTo(vessel_, body_);
    lastTime_ = time;
    lastRadius_ = length(s.pos);
    lastRadialSpeed_ = dotp(s.pos, s.vel);
    const std::string why = unsoundStartReason(vessel_, body_, step_);
    if (why.empty()) return true;
    return stop(lastRadius_ < body_.radius ? FlightEnd::HitBody : FlightEnd::StepTooCoarse, time, why);
}

bool FlightGuard::checkStep(double time) {
    const Relative s = relativeTo(vessel_, body_);
    const double r = length(s.pos), radialSpeed = dotp(s.pos, s.vel);
    const double before = lastTime_, rBefore = lastRadius_, radialBefore = lastRadialSpeed_;
    lastTime_ = time;
    lastRadius_ = r;
    lastRadialSpeed_ = radialSpeed;
    const auto hit = [this] { return vessel_.name + " hit the surface of " + body_.name; };
    if (r < body_.radius) {
        // Where the distance, taken as linear over the step, crossed the radius.
        const double f = (rBefore - body_.radius) / (rBefore - r);
        return stop(FlightEnd::HitBody, before + std::clamp(f, 0.0, 1.0) * (time - before), hit());
    }
    // Passing periapsis within the step (the vessel turned from falling to
    // rising): the path between the two ends dipped to the conic's periapsis.
    if (radialBefore < 0.0 && radialSpeed >= 0.0 && periapsisRadius(s, body_.gm) < body_.radius) {
        const double f = radialBefore / (radialBefore - radialSpeed);
        return stop(FlightEnd::HitBody, before + f * (time - before), hit());
    }
    const double longest = longestSoundStep(body_.gm, r);
    if (step_ > longest) return stop(FlightEnd::StepTooCoarse, time, coarseReason(step_, longest, r, body_));
    return true;
}

}  // namespace zolksim
