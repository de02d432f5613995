// A celestial body: a point mass on an analytic orbit about its parent.
#pragma once

#include "host/ephemeris.h"
#include "host/object.h"

namespace simhost {

struct Body : Object {
    Body(std::string name, double gm, double radius) : Object(ObjectKind::Body, std::move(name)), gm(gm), radius(radius) {}

    double gm;      // gravitational parameter (m^3/s^2)
    double radius;  // mean radius (m)
    int parent = -1;                  // index of the parent body in the world, -1 when fixed at the origin
    ELEMENTS orbit{};                 // about the parent, at epochMjd
    double epochMjd = 51544.5;
    StateVectors state{};             // global position (m) and velocity (m/s) at the world's present time
};

}  // namespace simhost
