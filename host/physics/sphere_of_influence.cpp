#include "host/physics/sphere_of_influence.h"

#include <cmath>
#include <limits>

namespace simhost {

double laplaceRadius(double a, double gm, double parentGm) {
    if (!(a > 0.0) || !(parentGm > 0.0) || !(gm >= 0.0) || !std::isfinite(a))
        return std::numeric_limits<double>::infinity();
    return a * std::pow(gm / parentGm, 0.4);
}

void influenceRadii2(const BodyOrbit* orbits, std::size_t count, double* radius2) {
    for (std::size_t k = 0; k < count; ++k) {
        const int parent = orbits[k].parent;
        const bool hasParent = parent >= 0 && static_cast<std::size_t>(parent) < count;
        const double e = orbits[k].elements.e;
        const double r = hasParent && e >= 0.0 && e < 1.0
                             ? laplaceRadius(orbits[k].elements.a, orbits[k].gm, orbits[parent].gm)
                             : std::numeric_limits<double>::infinity();
        radius2[k] = r * r;
    }
}

int influencingBody(const VECTOR3& r, const BodyOrbit* orbits, const StateVectors* states, const double* radius2,
                    std::size_t count, int previous) {
    constexpr double kWiden2 = kInfluenceHysteresis * kInfluenceHysteresis;
    int best = -1;
    double bestRadius2 = 0.0, bestPull = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const VECTOR3 d = states[k].pos - r;
        const double d2 = dotp(d, d);
        const double reach2 = static_cast<int>(k) == previous ? radius2[k] * kWiden2 : radius2[k];
        if (!(d2 < reach2)) continue;
        const double pull = d2 > 0.0 ? orbits[k].gm / d2 : std::numeric_limits<double>::infinity();
        if (best < 0 || radius2[k] < bestRadius2 || (radius2[k] == bestRadius2 && pull > bestPull)) {
            best = static_cast<int>(k);
            bestRadius2 = radius2[k];
            bestPull = pull;
        }
    }
    return best;
}

}  // namespace simhost
