// Sine and cosine of one angle together, inline, for the host's per-step
// rotations: the argument reduced by pi/2 in three parts (Cody and Waite), the
// reduction's rounding error carried as a tail, and the classic minimax
// kernels on [-pi/4, pi/4] (fdlibm's, with that tail): each result within one
// unit in the last place of the true value. About a third of the cost of the
// library's call; angles beyond 1e5 rad or not finite go to the library.
// sineCosine3 does three angles in the lanes of one vector.
#pragma once

#include <cmath>

#include "frame/host_api.h"
#include "frame/lane_mask.h"

namespace simhost {

namespace detail {

// The reduction and both kernels for T = double, or lane by lane for a vector
// of doubles (the same operations in the same order, so the same bits in each
// lane). n is the number of quarter turns taken off, and shifted n plus
// 1.5 * 2^52, whose low significand bits are n's (two's complement); s and c
// are the sine and cosine of what remains, still to be put in n's quadrant.
template <class T>
inline void reducedSineCosine(T x, T& s, T& c, T& n, T& shifted) {
    constexpr double kTwoOverPi = 6.36619772367581382433e-01;
    constexpr double kHalfPiHigh = 1.57079632673412561417e+00;  // first 33 bits of pi/2: n * it is exact
    constexpr double kHalfPiMid = 6.07710050630396597660e-11;   // next 33 bits: n * it is exact too
    constexpr double kHalfPiLow = 2.02226624879595063154e-21;   // pi/2 - kHalfPiHigh - kHalfPiMid
    // Rounds to the nearest integer without a library call (|x * 2/pi| < 2^51).
    constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 * 2^52
    shifted = x * kTwoOverPi + kRoundingShift;
    n = shifted - kRoundingShift;
    // y + tail = x - n pi/2 to some 1e-32 rad: the first difference is exact
    // (n * kHalfPiHigh has at most 53 bits and lies near x); the second's
    // rounding is recovered and folded into the low part, whose own rounding
    // becomes the tail.
    const T head = x - n * kHalfPiHigh, mid = n * kHalfPiMid;
    const T rest = head - mid;
    const T low = n * kHalfPiLow - ((head - rest) - mid);
    const T y = rest - low;  // |y| <= pi/4 (a hair more)
    const T tail = (rest - y) - low;
    const T z = y * y, v = z * y;
    // sin(y) = y + y^3 (S1 + z S(z)), cos(y) = 1 - z/2 + z^2 C(z), each with
    // the tail's first-order share: cos(y) tail, -sin(y) tail.
    const T sinPoly = 8.33333333332248946124e-03 +
                      z * (-1.98412698298579493134e-04 +
                           z * (2.75573137070700676789e-06 +
                                z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
    s = y - ((z * (0.5 * tail - v * sinPoly) - tail) - v * -1.66666666666666324348e-01);
    const T cosPoly =
        z * z *
        (4.16666666666666019037e-02 +
         z * (-1.38888888888741095749e-03 +
              z * (2.48015872894767294178e-05 +
                   z * (-2.75573143513906633035e-07 + z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11)))));
    const T half = 0.5 * z, w = 1.0 - half;
    c = w + (((1.0 - w) - half) + (cosPoly - y * tail));
}

// Beyond this (rad) n * kHalfPiMid is no longer exact: such angles, and those
// not finite, go to the library.
constexpr double kLargestReduced = 1e5;

}  // namespace detail

inline void sineCosine(double x, double& sine, double& cosine) {
    if (!(std::fabs(x) < detail::kLargestReduced)) {
        sine = std::sin(x);
        cosine = std::cos(x);
        return;
    }
    double s, c, n, shifted;
    detail::reducedSineCosine(x, s, c, n, shifted);
    switch (static_cast<long long>(n) & 3) {
    case 0: sine = s, cosine = c; break;
    case 1: sine = c, cosine = -s; break;
    case 2: sine = -s, cosine = -c; break;
    default: sine = -c, cosine = s; break;
    }
}

#if defined(__GNUC__) || defined(__clang__)
// Sines and cosines of three angles at once, the angles in the lanes of one
// vector (four doubles: one AVX register, two SSE2 ones): each the same bits
// as sineCosine gives it, at about a third of three calls' instructions.
inline void sineCosine3(const VECTOR3& x, VECTOR3& sine, VECTOR3& cosine) {
    using Lanes = double __attribute__((vector_size(32)));
    using Bits = long long __attribute__((vector_size(32)));
    constexpr double kLargest = detail::kLargestReduced;
    const Lanes angles{x.x, x.y, x.z, 0.0};
    constexpr long long kSignBit = static_cast<long long>(0x8000000000000000ULL);
    const Bits reducible = (Lanes)((Bits)angles & ~kSignBit) < Lanes{kLargest, kLargest, kLargest, kLargest};
    // The unused fourth lane holds 0, which is always reducible.
    if (!allLanesSet(reducible)) {
        sineCosine(x.x, sine.x, cosine.x);
        sineCosine(x.y, sine.y, cosine.y);
        sineCosine(x.z, sine.z, cosine.z);
        return;
    }
    Lanes s, c, n, shifted;
    detail::reducedSineCosine(angles, s, c, n, shifted);
    // The quadrant's swap and signs as masks: odd quadrants swap sine and
    // cosine; the sine is negated in quadrants 2 and 3, the cosine in 1 and 2.
    const Bits q = (Bits)shifted & 3;  // n mod 4: 2^51 + n in the low bits, and 4 divides 2^51
    const Bits swap = -(q & 1), sineSign = -((q >> 1) & 1), cosineSign = -(((q + 1) >> 1) & 1);
    const Bits sBits = (Bits)s, cBits = (Bits)c;  // vector casts keep the bits
    const Bits sineBits = (swap ? cBits : sBits) ^ (sineSign & kSignBit);
    const Bits cosineBits = (swap ? sBits : cBits) ^ (cosineSign & kSignBit);
    const Lanes sines = (Lanes)sineBits, cosines = (Lanes)cosineBits;
    sine = vec3(sines[0], sines[1], sines[2]);
    cosine = vec3(cosines[0], cosines[1], cosines[2]);
}
#else
inline void sineCosine3(const VECTOR3& x, VECTOR3& sine, VECTOR3& cosine) {
    sineCosine(x.x, sine.x, cosine.x);
    sineCosine(x.y, sine.y, cosine.y);
    sineCosine(x.z, sine.z, cosine.z);
}
#endif

}  // namespace simhost
