// Sine and cosine of one angle together, inline, for the host's per-step
// rotations: the argument reduced by pi/2 in three parts (Cody and Waite), the
// reduction's rounding error carried as a tail, and the classic minimax
// kernels on [-pi/4, pi/4] (fdlibm's, with that tail): each result within one
// unit in the last place of the true value. About a third of the cost of the
// library's call; angles beyond 1e5 rad or not finite go to the library.
#pragma once

#include <cmath>

namespace simhost {

inline void sineCosine(double x, double& sine, double& cosine) {
    constexpr double kLargest = 1e5;                    // rad; beyond it n * kHalfPiMid is no longer exact
    constexpr double kTwoOverPi = 6.36619772367581382433e-01;
    constexpr double kHalfPiHigh = 1.57079632673412561417e+00;  // first 33 bits of pi/2: n * it is exact
    constexpr double kHalfPiMid = 6.07710050630396597660e-11;   // next 33 bits: n * it is exact too
    constexpr double kHalfPiLow = 2.02226624879595063154e-21;   // pi/2 - kHalfPiHigh - kHalfPiMid
    if (!(std::fabs(x) < kLargest)) {
        sine = std::sin(x);
        cosine = std::cos(x);
        return;
    }
    // Rounds to the nearest integer without a library call (|x * 2/pi| < 2^51).
    constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 * 2^52
    const double n = (x * kTwoOverPi + kRoundingShift) - kRoundingShift;
    // y + tail = x - n pi/2 to some 1e-32 rad: the first difference is exact
    // (n * kHalfPiHigh has at most 53 bits and lies near x); the second's
    // rounding is recovered and folded into the low part, whose own rounding
    // becomes the tail.
    const double head = x - n * kHalfPiHigh, mid = n * kHalfPiMid;
    const double rest = head - mid;
    const double low = n * kHalfPiLow - ((head - rest) - mid);
    const double y = rest - low;  // |y| <= pi/4 (a hair more)
    const double tail = (rest - y) - low;
    const double z = y * y, v = z * y;
    // sin(y) = y + y^3 (S1 + z S(z)), cos(y) = 1 - z/2 + z^2 C(z), each with
    // the tail's first-order share: cos(y) tail, -sin(y) tail.
    const double sinPoly = 8.33333333332248946124e-03 +
                           z * (-1.98412698298579493134e-04 +
                                z * (2.75573137070700676789e-06 +
                                     z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
    const double s = y - ((z * (0.5 * tail - v * sinPoly) - tail) - v * -1.66666666666666324348e-01);
    const double cosPoly =
        z * z *
        (4.16666666666666019037e-02 +
         z * (-1.38888888888741095749e-03 +
              z * (2.48015872894767294178e-05 +
                   z * (-2.75573143513906633035e-07 + z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11)))));
    const double half = 0.5 * z, w = 1.0 - half;
    const double c = w + (((1.0 - w) - half) + (cosPoly - y * tail));
    switch (static_cast<long long>(n) & 3) {
    case 0: sine = s, cosine = c; break;
    case 1: sine = c, cosine = -s; break;
    case 2: sine = -s, cosine = -c; break;
    default: sine = -c, cosine = s; break;
    }
}

}  // namespace simhost
