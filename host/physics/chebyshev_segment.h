// A vector function of time over one interval as three Chebyshev series, the
// way the major planetary ephemerides are distributed: fitted once at the
// Chebyshev nodes, then evaluated in a few tens of nanoseconds.
#pragma once

#include "frame/host_api.h"

namespace simhost {

constexpr int kMaxChebyshevCoefficients = 16;

struct ChebyshevSegment {
    double start = 0.0;  // first date covered (MJD, days)
    double span = 0.0;   // days covered
    int count = 0;       // coefficients per axis, at most kMaxChebyshevCoefficients
    double x[kMaxChebyshevCoefficients]{}, y[kMaxChebyshevCoefficients]{}, z[kMaxChebyshevCoefficients]{};
};

// Fits the count-term series to position(mjd) (m) at the count Chebyshev nodes
// of [start, start + span] (days); it interpolates the position there, and its
// error elsewhere falls off as fast as the function's own smoothness allows.
template <class Position>
ChebyshevSegment fitChebyshev(double start, double span, int count, Position&& position);

// The fitted position (m) and, when vel is not null, its time derivative
// (m/s) at date mjd, which should lie within the segment.
void evaluateChebyshev(const ChebyshevSegment& segment, double mjd, VECTOR3& pos, VECTOR3* vel);
// The same at tau in [-1, 1] across the segment (tau = -1 at its start), for
// points placed more finely than a date near MJD 60000 resolves (0.6 us).
void evaluateChebyshevAt(const ChebyshevSegment& segment, double tau, VECTOR3& pos, VECTOR3* vel);
// The fitted position's change (m) from tau to tau + delta, worked out as a
// change, so that it keeps its own precision rather than that of the position
// (at 1 au, 3e-5 m).
VECTOR3 chebyshevChange(const ChebyshevSegment& segment, double tau, double delta);

}  // namespace simhost

#include "host/physics/chebyshev_segment_fit.h"
