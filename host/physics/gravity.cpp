#include "host/physics/gravity.h"

namespace simhost {

VECTOR3 gravityAcceleration(const VECTOR3& r, const BodySnapshot& bodies) {
    VECTOR3 sum{0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < bodies.count; ++i) {
        const VECTOR3 d = bodies.states[i].pos - r;
        const double d2 = dotp(d, d);
        if (d2 == 0.0) continue;
        sum = sum + d * (bodies.orbits[i].gm / (d2 * std::sqrt(d2)));
    }
    return sum;
}

int dominantBody(const VECTOR3& r, const BodySnapshot& bodies) {
    int best = -1;
    double strongest = 0.0;
    for (std::size_t i = 0; i < bodies.count; ++i) {
        const VECTOR3 d = bodies.states[i].pos - r;
        const double d2 = dotp(d, d);
        if (d2 == 0.0) continue;
        const double pull = bodies.orbits[i].gm / d2;
        if (best < 0 || pull > strongest) {
            best = static_cast<int>(i);
            strongest = pull;
        }
    }
    return best;
}

}  // namespace simhost
