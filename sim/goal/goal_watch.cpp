#include "sim/goal/goal_watch.h"

#include <limits>

#include "host/physics/physical_constants.h"
#include "sim/pictures/orbit_track.h"
#include "sim/run/summary.h"

namespace zolksim {

GoalFigures goalFigures(simhost::Vessel& vessel, const simhost::Body& body, double simTime, bool withOrbit,
                        const OrbitHistory* history) {
    GoalFigures f;
    f.propellantKg = propellantOf(vessel);
    f.days = simTime / simhost::kSecondsPerDay;
    f.time = simTime;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    f.meanPeriapsisKm = f.meanApoapsisKm = f.meanPeriodMin = f.meanEccentricity = nan;
    if (const OrbitRow* orbit = history ? history->lastFull() : nullptr) {
        f.meanPeriapsisKm = orbit->mean.periapsisKm;
        f.meanApoapsisKm = orbit->mean.apoapsisKm;
        f.meanPeriodMin = orbit->mean.periodMin;
        f.meanEccentricity = orbit->mean.eccentricity;
        f.meanTime = (orbit->start + orbit->end) / 2;
    }
    if (!withOrbit) return f;
    ELEMENTS elements{};
    ORBITPARAM orbit{};
    const OBJHANDLE handle = const_cast<simhost::Body*>(&body);
    if (!vessel.vesselInterface().GetElements(handle, elements, &orbit, 0.0, FRAME_ECL)) {
        // No orbit to read: every comparison with it is unmet.
        f.periapsisKm = f.apoapsisKm = f.periodMin = f.eccentricity = nan;
        return f;
    }
    const double infinity = std::numeric_limits<double>::infinity();
    const bool closed = elements.e < 1.0;
    f.periapsisKm = (orbit.PeD - body.radius) / 1000.0;
    f.apoapsisKm = closed ? (orbit.ApD - body.radius) / 1000.0 : infinity;
    f.periodMin = closed ? orbit.T / 60.0 : infinity;
    f.eccentricity = elements.e;
    return f;
}

GoalWatch::GoalWatch(const GoalCondition& condition, simhost::Vessel& vessel, const simhost::Body& body,
                     const OrbitHistory* history)
    : condition_(condition), vessel_(vessel), body_(body), withOrbit_(condition.needsOrbit()), history_(history) {
    if (!history_ && condition.needsMeans()) {
        ownHistory_ = std::make_unique<OrbitHistory>(vessel, body);
        history_ = ownHistory_.get();
    }
}

bool GoalWatch::check(double simTime, std::uint64_t steps) {
    if (ownHistory_) ownHistory_->observe(simTime);
    const GoalFigures now = goalFigures(vessel_, body_, simTime, withOrbit_, history_);
    const bool first = !checked_;
    checked_ = true;
    if (!condition_.metBy(now)) {
        before_ = now;
        return false;
    }
    met_ = true;
    metStep_ = steps;
    metTime_ = simTime;
    crossingTime_ = first ? simTime : condition_.metTime(before_, now);
    return true;
}

}  // namespace zolksim
