#include "host/chebyshev_segment.h"

#include "host/physical_constants.h"

namespace simhost {

void evaluateChebyshev(const ChebyshevSegment& s, double mjd, VECTOR3& pos, VECTOR3* vel) {
    const double tau = 2.0 * (mjd - s.start) / s.span - 1.0;
    // T_j(tau) and T_j'(tau) by their recurrences, summed as they come.
    double tPrev = 1.0, t = tau;    // T_0, T_1
    double dPrev = 0.0, d = 1.0;    // T_0', T_1'
    double px = s.x[0], py = s.y[0], pz = s.z[0];
    double vx = 0.0, vy = 0.0, vz = 0.0;
    for (int j = 1; j < s.count; ++j) {
        px += s.x[j] * t;
        py += s.y[j] * t;
        pz += s.z[j] * t;
        vx += s.x[j] * d;
        vy += s.y[j] * d;
        vz += s.z[j] * d;
        const double tNext = 2.0 * tau * t - tPrev;
        const double dNext = 2.0 * t + 2.0 * tau * d - dPrev;
        tPrev = t;
        t = tNext;
        dPrev = d;
        d = dNext;
    }
    pos = vec3(px, py, pz);
    if (vel) {
        const double perSecond = 2.0 / (s.span * kSecondsPerDay);  // d tau / dt
        *vel = vec3(vx * perSecond, vy * perSecond, vz * perSecond);
    }
}

}  // namespace simhost
