// A body's motion over a few minutes as one quartic polynomial per axis,
// interpolated from its Chebyshev segment: what a step reads every second,
// at a fifth of the segment's cost.
//
// Over a quarter of an hour the built-in bodies' motion departs from a
// quartic by 1e-9 m (the Moon's monthly terms enter as (omega t)^5); the
// segment itself is good to a millimetre.
#pragma once

#include <cmath>
#include <numbers>

#include "host/physics/chebyshev_segment.h"
#include "host/physics/lanes.h"
#include "host/physics/physical_constants.h"

namespace simhost {

struct QuarticWindow {
    double centre = 0.0;   // MJD (days)
    double perHalf = 0.0;  // 1 / half the window's length (1/day)
    double perHalfSecond = 0.0;  // the same per second (1/s)
    // Position (m) = sum c[j] x^j, x = (mjd - centre) * perHalf in [-1, 1];
    // each in vector lanes, as it is evaluated every step.
    StoredLanes c[5]{};
};

// Interpolates segment at the five Chebyshev nodes of window `part` of its
// `parts` equal parts: the window's error spreads evenly over it, a sixteenth
// of a Taylor polynomial's at the ends. The nodes are placed in the segment's
// own variable: as dates they would round by 0.6 us, 2 cm at a planet's speed,
// and the quartic's velocity would magnify that to 1e-4 m/s.
inline QuarticWindow fitQuarticWindow(const ChebyshevSegment& segment, long long part, long long parts) {
    constexpr int kNodes = 5;
    const double halfTau = 1.0 / static_cast<double>(parts);
    const double centreTau = -1.0 + static_cast<double>(2 * part + 1) * halfTau;
    QuarticWindow w;
    w.centre = segment.start + 0.5 * segment.span * (1.0 + centreTau);
    w.perHalf = 2.0 / (segment.span * halfTau);
    w.perHalfSecond = w.perHalf / kSecondsPerDay;
    // Chebyshev coefficients b of the interpolant, by the nodes' discrete
    // orthogonality, then its monomial coefficients. The nodes are taken as
    // changes from the centre, so that only the constant term carries the
    // rounding of the position itself.
    VECTOR3 centre;
    evaluateChebyshevAt(segment, centreTau, centre, nullptr);
    VECTOR3 values[kNodes];
    double angle[kNodes];
    for (int k = 0; k < kNodes; ++k) {
        angle[k] = std::numbers::pi * (k + 0.5) / kNodes;
        values[k] = chebyshevChange(segment, centreTau, halfTau * std::cos(angle[k]));
    }
    VECTOR3 b[kNodes];
    for (int j = 0; j < kNodes; ++j) {
        VECTOR3 sum{0.0, 0.0, 0.0};
        for (int k = 0; k < kNodes; ++k) sum = sum + values[k] * std::cos(j * angle[k]);
        b[j] = sum * ((j == 0 ? 1.0 : 2.0) / kNodes);
    }
    // T2 = 2x^2 - 1, T3 = 4x^3 - 3x, T4 = 8x^4 - 8x^2 + 1.
    w.c[0] = lanesOf(centre + (b[0] - b[2] + b[4]));
    w.c[1] = lanesOf(b[1] - b[3] * 3.0);
    w.c[2] = lanesOf(b[2] * 2.0 - b[4] * 8.0);
    w.c[3] = lanesOf(b[3] * 4.0);
    w.c[4] = lanesOf(b[4] * 8.0);
    return w;
}

// Position (m) and, when vel is not null, velocity (m/s) at date mjd.
inline void evaluateQuarticWindow(const QuarticWindow& w, double mjd, VECTOR3& pos, VECTOR3* vel) {
    const double x = (mjd - w.centre) * w.perHalf;
    const Lanes c0 = w.c[0], c1 = w.c[1], c2 = w.c[2], c3 = w.c[3], c4 = w.c[4];
    pos = vectorOf(c0 + (c1 + (c2 + (c3 + c4 * x) * x) * x) * x);
    if (vel) *vel = vectorOf((c1 + (c2 * 2.0 + (c3 * 3.0 + c4 * (4.0 * x)) * x) * x) * w.perHalfSecond);
}

}  // namespace simhost
