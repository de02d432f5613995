// The two-argument arc tangent, inline, for the per-step work on both sides of
// the host interface (the host's orbital elements, the attitude hold's angles):
// the argument reduced to one of five intervals about 0, 1/2, 1, 3/2 and
// infinity and the classic odd minimax polynomial there (fdlibm's atan, error
// below one unit in the last place), with the quadrant restored exactly. Within
// two units in the last place of the library's atan2, at about a third of its
// cost, and the same on every platform.
#pragma once

#include <cmath>

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
    const double z = x * x, w = z * z;
    const double odd = z * (3.33333333333329318027e-01 +
                            w * (1.42857142725034663711e-01 +
                                 w * (9.09088713343650656196e-02 +
                                      w * (6.66107313738753120669e-02 +
                                           w * (4.97687799461593236017e-02 + w * 1.62858201153657823623e-02)))));
    const double even = w * (-1.99999999998764832476e-01 +
                             w * (-1.11111104054623557880e-01 +
                                  w * (-7.69187620504482999495e-02 +
                                       w * (-5.83357013379057348645e-02 + w * -3.65315727442169155270e-02))));
    if (id < 0) return x - x * (odd + even);
    return kHigh[id] - ((x * (odd + even) - kLow[id]) - x);
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
