// A celestial body: a point mass on an analytic orbit about its parent. The
// orbit itself is kept by the world, beside the other bodies', for the ephemeris.
#pragma once

#include "host/physics/kepler.h"
#include "host/world/object.h"

namespace simhost {

struct Body : Object {
    Body(std::string name, double gm, double radius) : Object(ObjectKind::Body, std::move(name)), gm(gm), radius(radius) {}

    double gm;      // gravitational parameter (m^3/s^2)
    double radius;  // mean radius (m)
    StateVectors state{};  // global position (m) and velocity (m/s) at the world's present time
};

}  // namespace simhost
