// Analytic positions of celestial bodies: each body's place about its parent
// comes from a closed-form model (a Kepler orbit, elements with secular rates,
// or the lunar theory), so any date is evaluated directly, without integration.
#pragma once

#include <cstddef>
#include <vector>

#include "frame/host_api.h"
#include "host/physics/kepler.h"
#include "host/physics/library_ephemeris.h"

namespace simhost {

// How a body's state about its parent is found.
enum class OrbitModel {
    Kepler,           // the fixed elements, as a two-body orbit with mu = GM(parent) + GM(system)
    SecularElements,  // elements drifting at ratesPerCentury; the mean longitude's rate is the mean motion
                      // of the orbit, and a is (mu / (dL/dt)^2)^(1/3) whatever elements.a says
    LunarTheory,      // the Moon about Earth's centre (lunar_theory.h); elements unused but kept
};

// One body's orbit. parent is the index of the parent body in the same array,
// or -1 for a body fixed at the origin (the Sun); parents come before their
// children. gm is the body's own gravitational parameter (m^3/s^2). elements
// are ecliptic elements about the parent (m, rad), with elements.L the mean
// longitude at epochMjd (Modified Julian Date, days).
//
// For a body with satellites the elements describe the barycentre of the body
// and its satellites, not the body's centre.
struct BodyOrbit {
    int parent;
    double gm;
    ELEMENTS elements;
    double epochMjd;
    OrbitModel model = OrbitModel::Kepler;
    ELEMENTS ratesPerCentury{};  // SecularElements: change of each element per Julian century (m, rad)
    // Where the build has the library, the body's state comes from it and
    // the model above is only what a scenario file records.
    LibraryBody library = LibraryBody::None;
};

// The orbit about its parent of body i's system (the body with its satellites)
// at date mjd: the position (m) and velocity (m/s) of that system's barycentre
// relative to the parent's centre. mu is GM(parent) + GM(system of i).
OAPIFUNC StateVectors orbitState(const BodyOrbit& orbit, double mu, double mjd);
// Its position alone (m).
OAPIFUNC VECTOR3 orbitPosition(const BodyOrbit& orbit, double mu, double mjd);

// Whether the orbit is closed (an ellipse at every date), so that it can be fitted.
bool closedOrbit(const BodyOrbit& orbit);

// Global position (m) and velocity (m/s) of every body at date mjd, written to
// out[0..count). The relative motion of a body about its parent is orbitState
// with mu = GM(parent) + GM(system of the body), where the system of a body is
// the body with all its satellites (their satellites included): that is the
// mass that actually moves on the orbit. Children are placed relative to their
// parent's own centre. A body with satellites sits at its barycentre minus
// sum_c (GM(system of c) / GM(own system)) * r_rel(c) over its direct
// satellites c, which keeps, say, Earth and Moon balanced about their common
// barycentre; velocities alike. Bodies fixed at the origin are not displaced by
// their satellites. A parent index that does not point to an earlier entry is
// treated as -1. Works out the satellite lists at every call (an allocation,
// and count^2 work): a reference, for tests; FittedEphemeris keeps its lists.
OAPIFUNC void ephemerisStates(const BodyOrbit* bodies, std::size_t count, double mjd, StateVectors* out);

// The hierarchy's arithmetic, worked out once for a set of bodies.
// systemMu(i) = GM(parent) + GM(system of i), the mu of i's orbit (0 for a
// body without parent); barycentreWeight(i) = GM(system of i) / GM(system of
// its parent), the share by which i displaces its parent from their barycentre.
OAPIFUNC double orbitMu(const BodyOrbit* bodies, std::size_t count, std::size_t i);
OAPIFUNC double barycentreWeight(const BodyOrbit* bodies, std::size_t count, std::size_t i);
inline bool hasParent(const BodyOrbit* bodies, std::size_t i) {
    const int p = bodies[i].parent;
    return p >= 0 && static_cast<std::size_t>(p) < i;
}

// Each body's satellites (the bodies whose parent it is) in index order, with
// their barycentreWeight (from weights, or worked out here at count^2 cost
// when it is null): worked out once for a set of bodies, so that composing
// states reads each body's own list instead of scanning every body after it.
struct SatelliteLists {
    std::vector<std::size_t> first;  // body i's satellites: entries first[i] to first[i + 1]
    std::vector<std::size_t> body;
    std::vector<double> weight;
};
OAPIFUNC SatelliteLists satelliteLists(const BodyOrbit* bodies, std::size_t count, const double* weights);
// Turns relative states (each body's system about its parent's centre, as
// orbitState gives them) into global ones in place, parents first: body i's
// global state is its parent's plus its own relative one, less each
// satellite's relative state times its weight. With velocities false only the
// positions are composed (and read).
OAPIFUNC void composeGlobalStates(const BodyOrbit* bodies, std::size_t count, const SatelliteLists& satellites,
                                  StateVectors* states, bool velocities);

}  // namespace simhost
