#include "host/ephemeris.h"

namespace simhost {

namespace {

constexpr double kSecondsPerDay = 86400.0;

bool hasParent(const BodyOrbit* bodies, std::size_t i) {
    const int p = bodies[i].parent;
    return p >= 0 && static_cast<std::size_t>(p) < i;
}

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

}  // namespace

void ephemerisStates(const BodyOrbit* bodies, std::size_t count, double mjd, StateVectors* out) {
    const StateVectors origin{vec3(0, 0, 0), vec3(0, 0, 0)};
    // First every orbiting body's barycentre relative to its parent's centre.
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasParent(bodies, i)) {
            out[i] = origin;
            continue;
        }
        const BodyOrbit& b = bodies[i];
        const double mu = bodies[b.parent].gm + systemGm(bodies, count, i);
        out[i] = stateFromElements(b.elements, mu, (mjd - b.epochMjd) * kSecondsPerDay);
    }
    // Then, parents first, turn each into the body's own global state. When body
    // i is reached its parent already holds a global state and its satellites
    // still hold their relative ones.
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasParent(bodies, i)) continue;
        const StateVectors& parent = out[bodies[i].parent];
        StateVectors s{parent.pos + out[i].pos, parent.vel + out[i].vel};
        double ownSystem = 0.0;
        for (std::size_t c = i + 1; c < count; ++c) {
            if (bodies[c].parent != static_cast<int>(i)) continue;
            if (ownSystem == 0.0) ownSystem = systemGm(bodies, count, i);
            const double w = systemGm(bodies, count, c) / ownSystem;
            s.pos = s.pos - out[c].pos * w;
            s.vel = s.vel - out[c].vel * w;
        }
        out[i] = s;
    }
}

}  // namespace simhost
