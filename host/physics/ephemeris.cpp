#include "host/physics/ephemeris.h"

#include <cmath>

#include "host/physics/lunar_theory.h"
#include "host/physics/physical_constants.h"

namespace simhost {

namespace {

// Whether body j lies below body i in the hierarchy. Parents precede children,
// so the walk up from j only ever visits smaller indices.
bool descendsFrom(const BodyOrbit* bodies, std::size_t j, std::size_t i) {
    while (j > i && hasParent(bodies, j)) {
        j = static_cast<std::size_t>(bodies[j].parent);
        if (j == i) return true;
    }
    return false;
}

// GM of body i together with all bodies below it (m^3/s^2).
double systemGm(const BodyOrbit* bodies, std::size_t count, std::size_t i) {
    double sum = bodies[i].gm;
    for (std::size_t j = i + 1; j < count; ++j)
        if (descendsFrom(bodies, j, i)) sum += bodies[j].gm;
    return sum;
}

ELEMENTS drifted(const ELEMENTS& el, const ELEMENTS& rate, double centuries) {
    return ELEMENTS{el.a + rate.a * centuries,         el.e + rate.e * centuries,
                    el.i + rate.i * centuries,         el.theta + rate.theta * centuries,
                    el.omegab + rate.omegab * centuries, el.L + rate.L * centuries};
}

// d(position)/de at fixed a, mean anomaly and orientation (m): with
// x = a (cos E - e), y = a sqrt(1 - e^2) sin E in the orbit's plane and
// dE/de = sin E / (1 - e cos E).
VECTOR3 stretchWithEccentricity(const ELEMENTS& el) {
    const double e = el.e, E = eccentricAnomaly(el.L - el.omegab, e);
    const double cE = std::cos(E), sE = std::sin(E), b = std::sqrt((1.0 - e) * (1.0 + e));
    const double dE = sE / (1.0 - e * cE);
    const double dx = el.a * (-sE * dE - 1.0), dy = el.a * (-e / b * sE + b * cE * dE);
    // Towards periapsis (P) and 90 degrees on (Q), as stateFromElements has them.
    const double cO = std::cos(el.theta), sO = std::sin(el.theta), ci = std::cos(el.i), si = std::sin(el.i);
    const double w = el.omegab - el.theta, cw = std::cos(w), sw = std::sin(w);
    const VECTOR3 P = vec3(cO * cw - sO * sw * ci, sO * cw + cO * sw * ci, sw * si);
    const VECTOR3 Q = vec3(-cO * sw - sO * cw * ci, -sO * sw + cO * cw * ci, cw * si);
    return P * dx + Q * dy;
}

}  // namespace

double orbitMu(const BodyOrbit* bodies, std::size_t count, std::size_t i) {
    if (!hasParent(bodies, i)) return 0.0;
    return bodies[bodies[i].parent].gm + systemGm(bodies, count, i);
}

double barycentreWeight(const BodyOrbit* bodies, std::size_t count, std::size_t i) {
    if (!hasParent(bodies, i)) return 0.0;
    return systemGm(bodies, count, i) / systemGm(bodies, count, static_cast<std::size_t>(bodies[i].parent));
}

bool closedOrbit(const BodyOrbit& orbit) {
    const ELEMENTS& el = orbit.elements;
    switch (orbit.model) {
    case OrbitModel::LunarTheory: return true;
    case OrbitModel::SecularElements: return el.a > 0.0 && el.e >= 0.0 && el.e < 0.9 && orbit.ratesPerCentury.L != 0.0;
    case OrbitModel::Kepler: return el.a > 0.0 && el.e >= 0.0 && el.e < 1.0;
    }
    return false;
}

StateVectors orbitState(const BodyOrbit& orbit, double mu, double mjd) {
    if (orbit.library != LibraryBody::None && libraryEphemerisAvailable()) return libraryState(orbit.library, mjd);
    switch (orbit.model) {
    case OrbitModel::LunarTheory: return lunarState(mjd);
    case OrbitModel::SecularElements: {
        // The ellipse of the date: the mean anomaly L - varpi runs at
        // dL/dt - dvarpi/dt along it (a mu of n^2 a^3 gives that motion's
        // velocity at dt = 0), while the ellipse turns with the node, the
        // inclination and the argument of periapsis and stretches with e.
        // The semi-major axis is not the table's but the one at which the
        // host's gravity (mu) keeps a body going round at dL/dt:
        // mu = (dL/dt)^2 a^3. The table's a and rates imply a mu 1.8e-5
        // larger for Earth, 1.2e-7 m/s^2 that the host's bodies do not pull.
        constexpr double kPerSecond = 1.0 / (kDaysPerJulianCentury * kSecondsPerDay);
        const ELEMENTS& rate = orbit.ratesPerCentury;
        const double centuries = (mjd - orbit.epochMjd) / kDaysPerJulianCentury;
        ELEMENTS el = drifted(orbit.elements, rate, centuries);
        const double longitudeRate = rate.L * kPerSecond, n = (rate.L - rate.omegab) * kPerSecond;  // rad/s
        el.a = std::cbrt(mu / (longitudeRate * longitudeRate));
        StateVectors s = stateFromElements(el, n * n * el.a * el.a * el.a, 0.0);
        const double cO = std::cos(el.theta), sO = std::sin(el.theta), ci = std::cos(el.i), si = std::sin(el.i);
        const VECTOR3 nodeAxis = vec3(cO, sO, 0.0), pole = vec3(sO * si, -cO * si, ci), ecliptic = vec3(0, 0, 1);
        const VECTOR3 turn = ecliptic * (rate.theta * kPerSecond) + nodeAxis * (rate.i * kPerSecond) +
                             pole * ((rate.omegab - rate.theta) * kPerSecond);
        s.vel = s.vel + crossp(turn, s.pos) + stretchWithEccentricity(el) * (rate.e * kPerSecond);
        return s;
    }
    case OrbitModel::Kepler: break;
    }
    return stateFromElements(orbit.elements, mu, (mjd - orbit.epochMjd) * kSecondsPerDay);
}

VECTOR3 orbitPosition(const BodyOrbit& orbit, double mu, double mjd) {
    if (orbit.library != LibraryBody::None && libraryEphemerisAvailable()) return libraryPosition(orbit.library, mjd);
    return orbitState(orbit, mu, mjd).pos;
}

SatelliteLists satelliteLists(const BodyOrbit* bodies, std::size_t count, const double* weights) {
    SatelliteLists lists;
    lists.first.reserve(count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        lists.first.push_back(lists.body.size());
        for (std::size_t c = i + 1; c < count; ++c) {
            if (bodies[c].parent != static_cast<int>(i)) continue;
            lists.body.push_back(c);
            lists.weight.push_back(weights ? weights[c] : barycentreWeight(bodies, count, c));
        }
    }
    lists.first.push_back(lists.body.size());
    return lists;
}

void composeGlobalStates(const BodyOrbit* bodies, std::size_t count, const SatelliteLists& satellites,
                         StateVectors* out, bool velocities) {
    const std::size_t* first = satellites.first.data();
    const std::size_t* body = satellites.body.data();
    const double* weight = satellites.weight.data();
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasParent(bodies, i)) {
            out[i].pos = vec3(0, 0, 0);
            if (velocities) out[i].vel = vec3(0, 0, 0);
            continue;
        }
        const StateVectors& parent = out[bodies[i].parent];
        VECTOR3 pos = parent.pos + out[i].pos;
        if (velocities) {
            VECTOR3 vel = parent.vel + out[i].vel;
            for (std::size_t n = first[i]; n < first[i + 1]; ++n) {
                pos = pos - out[body[n]].pos * weight[n];
                vel = vel - out[body[n]].vel * weight[n];
            }
            out[i].vel = vel;
        } else {
            for (std::size_t n = first[i]; n < first[i + 1]; ++n) pos = pos - out[body[n]].pos * weight[n];
        }
        out[i].pos = pos;
    }
}

void ephemerisStates(const BodyOrbit* bodies, std::size_t count, double mjd, StateVectors* out) {
    for (std::size_t i = 0; i < count; ++i)
        if (hasParent(bodies, i)) out[i] = orbitState(bodies[i], orbitMu(bodies, count, i), mjd);
    composeGlobalStates(bodies, count, satelliteLists(bodies, count, nullptr), out, true);
}

}  // namespace simhost
