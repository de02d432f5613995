#include "sim/cockpit/orbit_view.h"

#include <cmath>

#include "automation/auto_burn.h"
#include "host/physics/rotation.h"

namespace zolksim::cockpit {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

double trueAnomaly(double m, double e) {
    double eccentric = m;  // Newton's method on Kepler's equation from E = M
    for (int i = 0; i < 30; ++i) {
        const double change = (eccentric - e * std::sin(eccentric) - m) / (1.0 - e * std::cos(eccentric));
        eccentric -= change;
        if (std::fabs(change) < 1e-12) break;
    }
    return 2.0 * std::atan2(std::sqrt(1.0 + e) * std::sin(eccentric / 2.0), std::sqrt(1.0 - e) * std::cos(eccentric / 2.0));
}

OrbitView orbitView(const simhost::Vessel& vessel, const simhost::Body& body) {
    OrbitView view;
    const VECTOR3 r = vessel.pos - body.state.pos;
    const VECTOR3 v = vessel.vel - body.state.vel;
    const double distance = length(r);
    const VECTOR3 h = crossp(r, v);
    if (distance <= 0.0 || length(h) <= 0.0 || body.gm <= 0.0) return view;

    const VECTOR3 eccentricity = crossp(v, h) * (1.0 / body.gm) - r * (1.0 / distance);
    view.e = length(eccentricity);
    // On a circle periapsis is anywhere: take the vessel's direction.
    const VECTOR3 towardsPeriapsis = view.e > 1e-9 ? unit(eccentricity) : r * (1.0 / distance);
    const VECTOR3 ahead = unit(crossp(h, towardsPeriapsis));
    view.bodyRadius = body.radius;
    view.a = 1.0 / (2.0 / distance - dotp(v, v) / body.gm);
    const double semiLatusRectum = dotp(h, h) / body.gm;
    view.periapsis = semiLatusRectum / (1.0 + view.e);
    view.apoapsis = view.e < 1.0 ? semiLatusRectum / (1.0 - view.e) : 0.0;
    view.x = dotp(r, towardsPeriapsis);
    view.y = dotp(r, ahead);
    if (view.e < 1.0) {
        // The auto-burn fires while the time to periapsis is under burnWindowLow
        // or over burnWindowHigh of the period: mean anomalies around periapsis.
        view.windowFrom = trueAnomaly(-kTwoPi * burnWindowLow, view.e);
        view.windowTo = trueAnomaly(kTwoPi * (1.0 - burnWindowHigh), view.e);
    }

    VECTOR3 thrust{};
    for (const auto& t : vessel.thrusters)
        if (t->level > 0.0 && t->max0 > 0.0 && t->resource && t->resource->mass > 0.0)
            thrust = thrust + vessel.rot * t->dir * (t->level * t->max0);
    const double inPlaneX = dotp(thrust, towardsPeriapsis), inPlaneY = dotp(thrust, ahead);
    const double inPlane = std::hypot(inPlaneX, inPlaneY);
    view.burning = length(thrust) > 0.0;
    if (view.burning && inPlane > 0.0) {
        view.thrustX = inPlaneX / inPlane;
        view.thrustY = inPlaneY / inPlane;
    }
    view.valid = std::isfinite(view.a) && std::isfinite(view.x) && std::isfinite(view.y);
    return view;
}

}  // namespace zolksim::cockpit
