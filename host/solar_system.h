// The built-in solar system: Sun, Earth, Moon and Mars on fixed Kepler orbits.
#pragma once

#include <cstddef>

#include "host/ephemeris.h"

namespace simhost {

struct BodySpec {
    const char* name;
    double gm;      // m^3/s^2
    double radius;  // mean radius (m)
    BodyOrbit orbit;
};

// The built-in bodies, parents before children; count receives their number.
// The array is static and lives for the whole program.
OAPIFUNC const BodySpec* builtInBodies(std::size_t& count);

}  // namespace simhost
