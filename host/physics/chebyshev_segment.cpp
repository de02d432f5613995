#include "host/physics/chebyshev_segment.h"

#include "host/physics/physical_constants.h"

namespace simhost {

namespace {

// sum_j c[j] * t[j] over j < n, in two interleaved partial sums so that the
// additions do not wait on each other.
inline double dot(const double* c, const double* t, int n) {
    double even = 0.0, odd = 0.0;
    int j = 0;
    for (; j + 1 < n; j += 2) {
        even += c[j] * t[j];
        odd += c[j + 1] * t[j + 1];
    }
    if (j < n) even += c[j] * t[j];
    return even + odd;
}

}  // namespace

void evaluateChebyshev(const ChebyshevSegment& s, double mjd, VECTOR3& pos, VECTOR3* vel) {
    evaluateChebyshevAt(s, 2.0 * (mjd - s.start) / s.span - 1.0, pos, vel);
}

void evaluateChebyshevAt(const ChebyshevSegment& s, double tau, VECTOR3& pos, VECTOR3* vel) {
    const int n = s.count;
    const double twoTau = 2.0 * tau;
    // T_j(tau) by its recurrence first, then the three sums.
    double t[kMaxChebyshevCoefficients];
    t[0] = 1.0;
    t[1] = tau;
    for (int j = 2; j < n; ++j) t[j] = twoTau * t[j - 1] - t[j - 2];
    pos = vec3(dot(s.x, t, n), dot(s.y, t, n), dot(s.z, t, n));
    if (!vel) return;
    // T_j' = j U_{j-1}, with U_j(tau) the polynomials of the second kind.
    double d[kMaxChebyshevCoefficients];
    d[0] = 0.0;
    double uPrev = 0.0, u = 1.0;  // U_{-1}, U_0
    for (int j = 1; j < n; ++j) {
        d[j] = j * u;
        const double uNext = twoTau * u - uPrev;
        uPrev = u;
        u = uNext;
    }
    const double perSecond = 2.0 / (s.span * kSecondsPerDay);  // d tau / dt
    *vel = vec3(dot(s.x, d, n) * perSecond, dot(s.y, d, n) * perSecond, dot(s.z, d, n) * perSecond);
}

VECTOR3 chebyshevChange(const ChebyshevSegment& s, double tau, double delta) {
    // D_j = T_j(tau + delta) - T_j(tau) by the recurrence of the T_j:
    // D_{j+1} = 2 (tau + delta) D_j + 2 delta T_j(tau) - D_{j-1}.
    const double twoAt = 2.0 * (tau + delta), twoDelta = 2.0 * delta;
    double tPrev = 1.0, t = tau;      // T_0(tau), T_1(tau)
    double dPrev = 0.0, d = delta;    // D_0, D_1
    VECTOR3 sum = vec3(s.x[1] * d, s.y[1] * d, s.z[1] * d);
    for (int j = 1; j + 1 < s.count; ++j) {
        const double dNext = twoAt * d + twoDelta * t - dPrev;
        const double tNext = 2.0 * tau * t - tPrev;
        dPrev = d;
        d = dNext;
        tPrev = t;
        t = tNext;
        sum = sum + vec3(s.x[j + 1] * d, s.y[j + 1] * d, s.z[j + 1] * d);
    }
    return sum;
}

}  // namespace simhost
