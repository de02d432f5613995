// The two-argument arc tangent, inline, for the per-step work on both sides of
// the host interface (the host's orbital elements, the attitude hold's angles):
// the argument reduced to one of five intervals about 0, 1/2, 1, 3/2 and
// infinity and the classic odd minimax polynomial there (fdlibm's atan, error
// below one unit in the last place), with the quadrant restored exactly. Within
// two units in the last place of the library's atan2, at about a third of its
// cost, and the same on every platform. arcTangent2x4 takes four at once, in
// the lanes of one vector, each with the one-at-a-time bits.
#pragma once

#include <cmath>

#include "frame/lane_mask.h"

// atan(x) = x - arcTangentTail(x) for |x| <= 7/16: the odd minimax series
// less its first term, its odd and even powers summed apart. A template so
// that one value and the lanes of a vector share the very operations.
template <class T>
inline T arcTangentTail(T x) {
    const T z = x * x, w = z * z;
    const T odd = z * (3.33333333333329318027e-01 +
                       w * (1.42857142725034663711e-01 +
                            w * (9.09088713343650656196e-02 +
                                 w * (6.66107313738753120669e-02 +
                                      w * (4.97687799461593236017e-02 + w * 1.62858201153657823623e-02)))));
    const T even = w * (-1.99999999998764832476e-01 +
                        w * (-1.11111104054623557880e-01 +
                             w * (-7.69187620504482999495e-02 +
                                  w * (-5.83357013379057348645e-02 + w * -3.65315727442169155270e-02))));
    return x * (odd + even);
}

// atan(x) for x >= 0 (NaN passes through).
inline double arcTangentOfNonNegative(double x) {
    // Static: indexed by the interval, a plain constexpr table would be copied
    // onto the stack at every call.
    static constexpr double kHigh[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01, 9.82793723247329054082e-01,
                                1.57079632679489655800e+00};  // atan(1/2), atan(1), atan(3/2), pi/2
    static constexpr double kLow[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17, 1.39033110312309984516e-17,
                               6.12323399573676603587e-17};  // what the high parts leave out
    int id = -1;
    if (x >= 0.4375) {
        if (x < 0.6875) id = 0, x = (2.0 * x - 1.0) / (2.0 + x);
        else if (x < 1.1875) id = 1, x = (x - 1.0) / (x + 1.0);
        else if (x < 2.4375) id = 2, x = (x - 1.5) / (1.0 + 1.5 * x);
        else id = 3, x = -1.0 / x;
    }
    const double tail = arcTangentTail(x);
    if (id < 0) return x - tail;
    return kHigh[id] - ((tail - kLow[id]) - x);
}

// atan2(y, x) in [-pi, pi]. Infinite arguments and both zero go to the library,
// which has the special cases right.
inline double arcTangent2(double y, double x) {
    constexpr double kPi = 3.14159265358979311600e+00, kPiLow = 1.22464679914735317723e-16;
    const double ax = std::fabs(x), ay = std::fabs(y);
    // Both finite and not both zero, in one chain: for finite |x| and |y| the
    // sum is positive exactly when either is (it may overflow to infinity,
    // which is still positive).
    if (!(ax < INFINITY && ay < INFINITY && ax + ay > 0.0)) return std::atan2(y, x);
    // The angle of (|x|, |y|) in [0, pi/2], taken from the smaller ratio.
    double a = ay <= ax ? arcTangentOfNonNegative(ay / ax) : 1.57079632679489655800e+00 -
                                                                 (arcTangentOfNonNegative(ax / ay) - 6.12323399573676603587e-17);
    if (x < 0.0) a = kPi - (a - kPiLow);
    return std::copysign(a, y);
}

// Four arc tangents at once: out[k] = arcTangent2(y[k], x[k]) to the bit. Each
// branch above becomes a choice per lane (a vector ?:, one blend) between
// values all worked out by the same operations in the same order, so the
// lanes agree with the scalar form exactly. Where a lane needs the library (an infinite argument, or both
// zero) all four are taken one at a time.
#if defined(__GNUC__) || defined(__clang__)
inline void arcTangent2x4(const double (&y)[4], const double (&x)[4], double (&out)[4]) {
    using Lanes = double __attribute__((vector_size(32)));
    using Bits = long long __attribute__((vector_size(32)));
    auto all = [](double v) { return Lanes{v, v, v, v}; };
    const Lanes ys{y[0], y[1], y[2], y[3]}, xs{x[0], x[1], x[2], x[3]};
    constexpr long long kSign = static_cast<long long>(0x8000000000000000ULL);
    const Bits yBits = (Bits)ys, xBits = (Bits)xs;  // vector casts keep the bits
    const Lanes ax = (Lanes)(xBits & ~kSign), ay = (Lanes)(yBits & ~kSign);
    const Bits usable = (ax < all(INFINITY)) & (ay < all(INFINITY)) & (ax + ay > all(0.0));
    if (!allLanesSet(usable)) {
        for (int k = 0; k < 4; ++k) out[k] = arcTangent2(y[k], x[k]);
        return;
    }
    // arcTangentOfNonNegative of the smaller ratio, lane by lane. The ratio is
    // at most 1, so only the first two reduction intervals can occur.
    const Bits smallRatio = ay <= ax;
    const Lanes r = (smallRatio ? ay / ax : ax / ay);
    const Bits from0 = r >= all(0.4375), from1 = r >= all(0.6875);
    Lanes t = (from0 ? (2.0 * r - 1.0) / (2.0 + r) : r);
    t = (from1 ? (r - 1.0) / (r + 1.0) : t);
    Lanes high = (from0 ? all(4.63647609000806093515e-01) : all(0.0));
    high = (from1 ? all(7.85398163397448278999e-01) : high);
    Lanes low = (from0 ? all(2.26987774529616870924e-17) : all(0.0));
    low = (from1 ? all(3.06161699786838301793e-17) : low);
    const Lanes tail = arcTangentTail(t);
    const Lanes atanR = (from0 ? high - ((tail - low) - t) : t - tail);
    // The angle of (|x|, |y|), then the quadrant.
    Lanes a = (smallRatio ? atanR : 1.57079632679489655800e+00 - (atanR - 6.12323399573676603587e-17));
    a = (xs < all(0.0) ? 3.14159265358979311600e+00 - (a - 1.22464679914735317723e-16) : a);
    const Lanes result = (Lanes)(((Bits)a & ~kSign) | (yBits & kSign));
    for (int k = 0; k < 4; ++k) out[k] = result[k];
}
#else
inline void arcTangent2x4(const double (&y)[4], const double (&x)[4], double (&out)[4]) {
    for (int k = 0; k < 4; ++k) out[k] = arcTangent2(y[k], x[k]);
}
#endif
