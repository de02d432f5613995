// The host's inline sine and cosine against the C library's, which are
// correctly rounded or nearly so: within one unit in the last place of 1.
#include "host/sine_cosine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr double kUlpOfOne = 2.220446049250313e-16;

TEST(SineCosine, AgreesWithTheLibraryToAnUlpOverEveryRange) {
    std::mt19937_64 random(14);
    for (double range : {1e-8, 0.7, 3.2, 40.0, 9e4, 1e7}) {
        std::uniform_real_distribution<double> angle(-range, range);
        double worstSine = 0.0, worstCosine = 0.0;
        for (int i = 0; i < 200000; ++i) {
            const double x = angle(random);
            double s = 0.0, c = 0.0;
            simhost::sineCosine(x, s, c);
            worstSine = std::max(worstSine, std::fabs(s - std::sin(x)));
            worstCosine = std::max(worstCosine, std::fabs(c - std::cos(x)));
        }
        EXPECT_LE(worstSine, kUlpOfOne) << range;
        EXPECT_LE(worstCosine, kUlpOfOne) << range;
    }
    // Quadrant edges and the values a rotation meets most.
    for (double x : {0.0, -0.0, 1.5707963267948966, -1.5707963267948966, 3.141592653589793, 4.71238898038469}) {
        double s = 0.0, c = 0.0;
        simhost::sineCosine(x, s, c);
        EXPECT_NEAR(s, std::sin(x), kUlpOfOne) << x;
        EXPECT_NEAR(c, std::cos(x), kUlpOfOne) << x;
    }
    double s = 0.0, c = 0.0;
    simhost::sineCosine(std::numeric_limits<double>::quiet_NaN(), s, c);
    EXPECT_TRUE(std::isnan(s) && std::isnan(c));
}

}  // namespace
