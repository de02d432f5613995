// The focus vessel's orbit about its dominant body, laid out in the orbit's
// own plane for the cockpit's orbit view: +x towards periapsis, +y a quarter
// turn ahead along the motion.
#pragma once

#include "host/world/body.h"
#include "host/world/vessel.h"

namespace zolksim::cockpit {

struct OrbitView {
    bool valid = false;
    double bodyRadius = 0.0;  // m
    double a = 0.0, e = 0.0;  // semi-major axis (m; negative on an open orbit), eccentricity
    double periapsis = 0.0;   // distance from the body's centre, m
    double apoapsis = 0.0;    // m; 0 on an open orbit
    double x = 0.0, y = 0.0;  // the vessel, m
    // The auto-burn window as true anomalies (rad), from before to after
    // periapsis; both 0 on an open orbit.
    double windowFrom = 0.0, windowTo = 0.0;
    bool burning = false;
    double thrustX = 0.0, thrustY = 0.0;  // the main engines' thrust direction in the plane (unit), while burning
};

OrbitView orbitView(const simhost::Vessel& vessel, const simhost::Body& body);

// The true anomaly (rad) at mean anomaly m on an orbit of eccentricity e < 1.
double trueAnomaly(double m, double e);

}  // namespace zolksim::cockpit
