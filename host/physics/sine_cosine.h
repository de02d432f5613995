// Sine and cosine of one angle together, inline, for the host's per-step
// rotations: the argument reduced by pi/2 in two parts (Cody and Waite) and the
// classic minimax kernels on [-pi/4, pi/4] (fdlibm's, error below one unit in
// the last place there). About a third of the cost of the library's call;
// angles beyond 1e5 rad or not finite go to the library.
#pragma once

#include <cmath>

namespace simhost {

inline void sineCosine(double x, double& sine, double& cosine) {
    constexpr double kLargest = 1e5;                    // rad; beyond it the two-part reduction is not enough
    constexpr double kTwoOverPi = 6.36619772367581382433e-01;
    constexpr double kHalfPiHigh = 1.57079632673412561417e+00;  // first 33 bits of pi/2: n * it is exact
    constexpr double kHalfPiLow = 6.07710050650619224932e-11;   // pi/2 - kHalfPiHigh
    if (!(std::fabs(x) < kLargest)) {
        sine = std::sin(x);
        cosine = std::cos(x);
        return;
    }
    // Rounds to the nearest integer without a library call (|x * 2/pi| < 2^51).
    constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 * 2^52
    const double n = (x * kTwoOverPi + kRoundingShift) - kRoundingShift;
    const double y = (x - n * kHalfPiHigh) - n * kHalfPiLow;  // |y| <= pi/4 (a hair more)
    const double z = y * y;
    // sin(y) = y + y^3 (S1 + z S(z)), cos(y) = 1 - z/2 + z^2 C(z).
    const double sinPoly = 8.33333333332248946124e-03 +
                           z * (-1.98412698298579493134e-04 +
                                z * (2.75573137070700676789e-06 +
                                     z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
    const double s = y + (z * y) * (-1.66666666666666324348e-01 + z * sinPoly);
    const double cosPoly =
        z * z *
        (4.16666666666666019037e-02 +
         z * (-1.38888888888741095749e-03 +
              z * (2.48015872894767294178e-05 +
                   z * (-2.75573143513906633035e-07 + z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11)))));
    const double half = 0.5 * z, w = 1.0 - half;
    const double c = w + (((1.0 - w) - half) + cosPoly);
    switch (static_cast<long long>(n) & 3) {
    case 0: sine = s, cosine = c; break;
    case 1: sine = c, cosine = -s; break;
    case 2: sine = -s, cosine = -c; break;
    default: sine = -c, cosine = s; break;
    }
}

}  // namespace simhost
