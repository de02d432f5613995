#include "sim/goal/goal_watch.h"

#include <limits>

#include "host/physics/physical_constants.h"
#include "sim/pictures/orbit_track.h"
#include "sim/run/summary.h"

namespace zolksim {

GoalFigures goalFigures(simhost::Vessel& vessel, const simhost::Body& body, double simTime, bool withOrbit) {
    GoalFigures f;
    f.propellantKg = propellantOf(vessel);
    f.days = simTime / simhost::kSecondsPerDay;
    if (!withOrbit) return f;
    ELEMENTS elements{};
    ORBITPARAM orbit{};
    const OBJHANDLE handle = const_cast<simhost::Body*>(&body);
    if (!vessel.vesselInterface().GetElements(handle, elements, &orbit, 0.0, FRAME_ECL)) {
        // No orbit to read: every comparison with it is unmet.
        const double nan = std::numeric_limits<double>::quiet_NaN();
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

}  // namespace zolksim
