// The built-in solar system: the Sun fixed; Earth (through the Earth-Moon
// barycentre), the Moon, Mars, Venus and Jupiter from the library where the
// build has it, else the planets on elements with their secular rates and the
// Moon by the lunar theory.
#pragma once

#include <cstddef>

#include "host/physics/ephemeris.h"

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

// The built-in body that a scenario's body is, when its name (any letter case),
// GM, parent and orbit (elements and epoch) are exactly those of the built-in
// entry, as a saved scenario records them, or the GM one that earlier builds
// gave it; null otherwise. Such a body moves by its built-in model again.
OAPIFUNC const BodySpec* builtInBodyMatching(const char* name, double gm, const char* parentName,
                                             const ELEMENTS& elements, double epochMjd);

}  // namespace simhost
