// The host's inline sine and cosine against the true values (long double),
// its arc tangent against the C library's, correctly rounded or nearly so.
#include "host/physics/arc_tangent.h"
#include "host/physics/sine_cosine.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

// Error (units in the last place of the double nearest it) of got against
// the true value, taken from the long double functions where they are
// glibc's (64-bit significands, correct reduction). Elsewhere (MinGW, whose
// long double sine reduces by the x87's 66-bit pi) the double library's value
// stands in, and an ulp of the result is not the measure: the bound is one ulp
// of 1, as before.
#ifdef __GLIBC__
constexpr bool kTrueValuesAvailable = true;
#else
constexpr bool kTrueValuesAvailable = false;
#endif
double ulpsFromTrue(double got, long double truth) {
    if (!kTrueValuesAvailable) return std::fabs(got - static_cast<double>(truth)) / 2.220446049250313e-16;
    const double nearest = static_cast<double>(truth);
    const double ulp = std::nextafter(std::fabs(nearest), INFINITY) - std::fabs(nearest);
    return static_cast<double>(std::fabs(static_cast<long double>(got) - truth) / ulp);
}
long double trueSine(double x) { return kTrueValuesAvailable ? std::sin(static_cast<long double>(x)) : std::sin(x); }
long double trueCosine(double x) { return kTrueValuesAvailable ? std::cos(static_cast<long double>(x)) : std::cos(x); }

// got has want's bits, or both are NaN (whose payloads need not agree): what
// the vector lanes must give against the one-at-a-time forms.
::testing::AssertionResult sameBits(double got, double want) {
    if (std::isnan(want) ? std::isnan(got) : std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(want))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got << " is not " << want << " to the bit";
}

// Below one ulp of the true value, as the header promises: a result one ulp
// off the correctly rounded one can still be within it, two ulps never are.
// (An error of exactly one ulp does not occur with true values.)
TEST(SineCosine, WithinAnUlpOfTheTrueValueOverEveryRange) {
    std::mt19937_64 random(14);
    for (double range : {1e-8, 0.7, 3.2, 40.0, 9e4, 1e7}) {
        std::uniform_real_distribution<double> angle(-range, range);
        double worstSine = 0.0, worstCosine = 0.0;
        for (int i = 0; i < 200000; ++i) {
            const double x = angle(random);
            double s = 0.0, c = 0.0;
            simhost::sineCosine(x, s, c);
            worstSine = std::max(worstSine, ulpsFromTrue(s, trueSine(x)));
            worstCosine = std::max(worstCosine, ulpsFromTrue(c, trueCosine(x)));
        }
        EXPECT_LE(worstSine, 1.0) << range;
        EXPECT_LE(worstCosine, 1.0) << range;
    }
    // Quadrant edges and the values a rotation meets most.
    for (double x : {0.0, -0.0, 1.5707963267948966, -1.5707963267948966, 3.141592653589793, 4.71238898038469}) {
        double s = 0.0, c = 0.0;
        simhost::sineCosine(x, s, c);
        EXPECT_LE(ulpsFromTrue(s, trueSine(x)), 1.0) << x;
        EXPECT_LE(ulpsFromTrue(c, trueCosine(x)), 1.0) << x;
    }
    double s = 0.0, c = 0.0;
    simhost::sineCosine(std::numeric_limits<double>::quiet_NaN(), s, c);
    EXPECT_TRUE(std::isnan(s) && std::isnan(c));
}

// The three-lane form gives each angle exactly the one-angle form's bits, in
// every quadrant (the swaps and signs), at zeros of either sign, and where
// one lane sends all three to the library (large or not finite).
TEST(SineCosine, ThreeAtOnceGiveTheOneAngleBits) {
    auto expectSame = [&](const VECTOR3& x) {
        VECTOR3 s{}, c{};
        simhost::sineCosine3(x, s, c);
        const double in[] = {x.x, x.y, x.z}, gotSine[] = {s.x, s.y, s.z}, gotCosine[] = {c.x, c.y, c.z};
        for (int k = 0; k < 3; ++k) {
            double want = 0.0, wantCosine = 0.0;
            simhost::sineCosine(in[k], want, wantCosine);
            EXPECT_TRUE(sameBits(gotSine[k], want)) << in[k];
            EXPECT_TRUE(sameBits(gotCosine[k], wantCosine)) << in[k];
        }
    };
    std::mt19937_64 random(3);
    for (double range : {0.8, 3.2, 7.0, 9e4}) {
        std::uniform_real_distribution<double> angle(-range, range);
        for (int i = 0; i < 20000; ++i) expectSame(vec3(angle(random), angle(random), angle(random)));
    }
    const double quarter = 1.5707963267948966;
    for (int q = -8; q <= 8; ++q) expectSame(vec3(q * quarter, q * quarter + 1e-9, q * quarter - 0.3));
    expectSame(vec3(0.0, -0.0, 1e-300));
    expectSame(vec3(0.5, 2e5, -1.0));
    expectSame(vec3(std::numeric_limits<double>::quiet_NaN(), 1.0, -2.5));
}

// Within two units in the last place of the library's atan2 over magnitudes
// from 1e-6 to 1e6 in every quadrant, and the same at the axes and zeros.
TEST(ArcTangent, AgreesWithTheLibraryToTwoUlpsInEveryQuadrant) {
    constexpr double kUlps = 2.0;
    std::mt19937_64 random(6);
    std::normal_distribution<double> normal(0.0, 1.0);
    double worst = 0.0;
    for (int i = 0; i < 400000; ++i) {
        const double y = normal(random) * std::exp(3 * normal(random)), x = normal(random) * std::exp(3 * normal(random));
        const double want = std::atan2(y, x), got = simhost::arcTangent2(y, x);
        const double ulp = std::nextafter(std::fabs(want), INFINITY) - std::fabs(want);
        worst = std::max(worst, std::fabs(got - want) / ulp);
    }
    EXPECT_LE(worst, kUlps);
    const double inf = std::numeric_limits<double>::infinity();
    // The largest finite values (their sum overflows) and the smallest
    // subnormal beside a zero: the edges of the test for both finite and not
    // both zero, within the same two units and with the library's sign.
    const double largest = std::numeric_limits<double>::max(), tiny = std::numeric_limits<double>::denorm_min();
    for (double y : {0.0, -0.0, 1.0, largest, -largest, tiny, -tiny})
        for (double x : {0.0, -0.0, -1.0, largest, -largest, tiny, -tiny}) {
            const double want = std::atan2(y, x), got = simhost::arcTangent2(y, x);
            const double ulp = std::nextafter(std::fabs(want), INFINITY) - std::fabs(want);
            EXPECT_LE(std::fabs(got - want), kUlps * ulp) << y << " " << x;
            EXPECT_EQ(std::signbit(got), std::signbit(want)) << y << " " << x;
        }
    for (double y : {0.0, -0.0, 1.0, -1.0, inf, -inf})
        for (double x : {0.0, -0.0, 1.0, -1.0, inf, -inf}) {
            const double want = std::atan2(y, x), got = simhost::arcTangent2(y, x);
            EXPECT_EQ(got, want) << y << " " << x;
            EXPECT_EQ(std::signbit(got), std::signbit(want)) << y << " " << x;
        }
    EXPECT_TRUE(std::isnan(simhost::arcTangent2(std::numeric_limits<double>::quiet_NaN(), 1.0)));
}

// The four-lane arc tangent gives each pair exactly the one-pair bits: every
// quadrant, both ratios, the edges of the five reduction intervals, signed
// zeros, and the pairs that send all four to the library.
TEST(ArcTangent, FourAtOnceGiveTheOnePairBits) {
    auto expectSame = [&](const double (&y)[4], const double (&x)[4]) {
        double got[4];
        arcTangent2x4(y, x, got);
        for (int k = 0; k < 4; ++k) EXPECT_TRUE(sameBits(got[k], simhost::arcTangent2(y[k], x[k]))) << y[k] << " " << x[k];
    };
    std::mt19937_64 random(8);
    std::normal_distribution<double> normal(0.0, 1.0);
    auto draw = [&] { return normal(random) * std::exp(3 * normal(random)); };
    for (int i = 0; i < 50000; ++i) expectSame({draw(), draw(), draw(), draw()}, {draw(), draw(), draw(), draw()});
    for (double edge : {0.4375, 0.6875, 1.1875, 2.4375}) {
        const double below = std::nextafter(edge, 0.0);
        expectSame({edge, below, -edge, 1.0}, {1.0, 1.0, -1.0, edge});
    }
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    expectSame({0.0, -0.0, 1.0, -1.0}, {1.0, 1.0, -0.0, 0.0});
    expectSame({0.0, -0.0, 2.0, 3.0}, {-0.0, 0.0, 1.0, 1.0});  // a pair of zeros: the library for all
    expectSame({inf, 1.0, 2.0, 3.0}, {1.0, -inf, 1.0, 1.0});
    expectSame({nan, 1.0, 2.0, 3.0}, {1.0, nan, 1.0, 1.0});
}

}  // namespace
