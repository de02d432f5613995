// The fitting half of chebyshev_segment.h, a template over the fitted function.
#pragma once

#include <cmath>
#include <numbers>

namespace simhost {

template <class Position>
ChebyshevSegment fitChebyshev(double start, double span, int count, Position&& position) {
    ChebyshevSegment s;
    s.start = start;
    s.span = span;
    s.count = count < 1 ? 1 : (count > kMaxChebyshevCoefficients ? kMaxChebyshevCoefficients : count);
    const int n = s.count;
    VECTOR3 values[kMaxChebyshevCoefficients];
    double angle[kMaxChebyshevCoefficients];
    // Node k at tau = cos(angle_k), angle_k = pi (k + 1/2) / n; tau runs over [-1, 1].
    for (int k = 0; k < n; ++k) {
        angle[k] = std::numbers::pi * (k + 0.5) / n;
        values[k] = position(start + 0.5 * span * (1.0 + std::cos(angle[k])));
    }
    // Discrete orthogonality of the Chebyshev polynomials at these nodes:
    // c_j = (2/n) sum_k f(tau_k) cos(j angle_k), with c_0 halved.
    for (int j = 0; j < n; ++j) {
        double cx = 0.0, cy = 0.0, cz = 0.0;
        for (int k = 0; k < n; ++k) {
            const double w = std::cos(j * angle[k]);
            cx += values[k].x * w;
            cy += values[k].y * w;
            cz += values[k].z * w;
        }
        const double scale = (j == 0 ? 1.0 : 2.0) / n;
        s.x[j] = cx * scale;
        s.y[j] = cy * scale;
        s.z[j] = cz * scale;
    }
    return s;
}

}  // namespace simhost
