// Dispersions' draws: the counter-based generator against an independent
// implementation, the distributions' quantiles against their closed forms,
// a case's draws independent of how the cases are split, the [sample] table's
// checks, and the spread's statistics.
#include <gtest/gtest.h>

#include <cmath>
#include <toml++/toml.h>

#include "sim/sample/counter_random.h"
#include "sim/sample/dispersion_report.h"
#include "sim/sample/dispersion_statistics.h"
#include "sim/sample/distribution.h"
#include "sim/sample/sample_reading.h"

namespace {

using zolksim::Distribution;
using zolksim::DistributionKind;

TEST(CounterRandom, BitsAreSplitMix64OfTheCounterAndUniformsLieInside) {
    // From a separate Python rendering of SplitMix64's finaliser over
    // (seed, case, slot): the same bits on any machine.
    EXPECT_EQ(zolksim::counterBits(1, 0, 0), 0xb18a02f46d8d86c3ull);
    EXPECT_EQ(zolksim::counterBits(42, 199, 15), 0x533c8142a52b4fa1ull);
    EXPECT_DOUBLE_EQ(zolksim::counterUniform(42, 199, 15), 0.32514198185996895);
    // Each word of the counter matters.
    EXPECT_NE(zolksim::counterBits(1, 0, 1), zolksim::counterBits(1, 1, 0));
    EXPECT_NE(zolksim::counterBits(0, 1, 0), zolksim::counterBits(1, 0, 0));
    // Even over many draws: mean 1/2, variance 1/12, never 0 or 1.
    double sum = 0, squares = 0;
    constexpr int kDraws = 200000;
    for (int i = 0; i < kDraws; ++i) {
        const double u = zolksim::counterUniform(7, static_cast<std::uint64_t>(i), 3);
        ASSERT_GT(u, 0.0);
        ASSERT_LT(u, 1.0);
        sum += u;
        squares += (u - 0.5) * (u - 0.5);
    }
    EXPECT_NEAR(sum / kDraws, 0.5, 0.003);  // 5 sigma of the mean: 5 * sqrt(1/12/200000)
    EXPECT_NEAR(squares / kDraws, 1.0 / 12, 0.0015);
}

// The mean of a distribution's quantiles at the midpoints of n equal slices
// of probability: its mean, to the slicing's error.
double meanOfQuantiles(const Distribution& d, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += zolksim::quantile(d, (i + 0.5) / n);
    return sum / n;
}

TEST(Distribution, QuantilesOfNormalUniformAndTruncatedNormal) {
    const Distribution normal{DistributionKind::Normal, 3.0, 0.06, -INFINITY, INFINITY};
    EXPECT_NEAR(zolksim::quantile(normal, 0.975), 3.0 + 0.06 * 1.9599639845400536, 1e-12);
    EXPECT_NEAR(zolksim::quantile(normal, 0.5), 3.0, 1e-15);
    EXPECT_NEAR(zolksim::quantile(normal, 0.025), 3.0 - 0.06 * 1.9599639845400536, 1e-12);
    const Distribution uniform{DistributionKind::Uniform, 0, 0, -2.0, 6.0};
    EXPECT_DOUBLE_EQ(zolksim::quantile(uniform, 0.25), 0.0);

    // N(0, 1) cut to z >= 0: the half-normal, mean sqrt(2/pi).
    const Distribution half{DistributionKind::Normal, 0.0, 1.0, 0.0, INFINITY};
    EXPECT_NEAR(meanOfQuantiles(half, 100000), std::sqrt(2 / 3.14159265358979323846), 2e-4);
    // Cut to z >= 3, deep in the upper tail: the inverse Mills ratio
    // phi(3) / (1 - Phi(3)) = 0.0044318484 / 0.0013498980 = 3.2830986.
    const Distribution tail{DistributionKind::Normal, 0.0, 1.0, 3.0, INFINITY};
    EXPECT_NEAR(meanOfQuantiles(tail, 100000), 3.2830986, 2e-4);
    EXPECT_LT(zolksim::quantile(tail, 0.01), zolksim::quantile(tail, 0.99));  // increasing in u here too
    // A two-sided cut keeps every draw inside and is increasing in u.
    const Distribution cut{DistributionKind::Normal, 1.0, 0.5, 0.8, 1.1};
    double previous = -INFINITY;
    for (int i = 1; i < 1000; ++i) {
        const double x = zolksim::quantile(cut, i / 1000.0);
        ASSERT_GE(x, 0.8);
        ASSERT_LE(x, 1.1);
        ASSERT_GE(x, previous);
        previous = x;
    }
}

zolksim::SamplePlan planOf(const std::string& text, std::string* error = nullptr) {
    zolksim::SamplePlan plan;
    std::string why;
    const bool ok = zolksim::readSamplePlan(toml::parse(text), plan, why);
    if (error) *error = ok ? "" : why;
    else EXPECT_TRUE(ok) << why;
    return plan;
}

TEST(SamplePlan, ACasesDrawsDependOnSeedAndCaseAloneAndMapOntoTheFlight) {
    const std::string base = "count = 200\nseed = 42\n"
                             "thrust_error = { dist = \"normal\", mean = 0, sigma = 0.02 }\n"
                             "pointing = { dist = \"normal\", mean = 0, sigma = 0.5, min = 0 }\n"
                             "radial_position = { dist = \"normal\", mean = 0, sigma = 100 }\n";
    const zolksim::SamplePlan plan = planOf(base);
    ASSERT_EQ(plan.entries.size(), 3u);
    EXPECT_EQ(zolksim::sampleColumns(plan),
              (std::vector<std::string>{"thrust_error", "pointing_deg", "pointing_azimuth_deg", "radial_position_m"}));
    // Case 150 drawn alone is case 150 of the whole run, and another quantity
    // added to the table leaves these draws as they were.
    const zolksim::SampledCase alone = zolksim::drawCase(plan, 150);
    const zolksim::SamplePlan wider =
        planOf(base + "isp = { dist = \"uniform\", min = 28000, max = 32000 }\n");
    const zolksim::SampledCase inWider = zolksim::drawCase(wider, 150);
    ASSERT_EQ(inWider.values.size(), 5u);
    // isp comes first, a case parameter; the rest are the draws as before.
    EXPECT_EQ(std::vector<double>(inWider.values.begin() + 1, inWider.values.end()), alone.values);
    EXPECT_NE(zolksim::drawCase(plan, 151).values, alone.values);
    EXPECT_EQ(inWider.parameters.size(), 1u);
    EXPECT_EQ(inWider.parameters[0].parameter, zolksim::StudyParameter::Isp);
    EXPECT_EQ(inWider.parameterValues[0], inWider.values[0]);

    const zolksim::FlightDispersion& d = alone.dispersion;
    EXPECT_DOUBLE_EQ(d.thrustFactor, 1.0 + alone.values[0]);
    EXPECT_DOUBLE_EQ(d.tiltRad, alone.values[1] * 3.14159265358979323846 / 180);
    EXPECT_DOUBLE_EQ(d.tiltAzimuthRad, alone.values[2] * 3.14159265358979323846 / 180);
    EXPECT_DOUBLE_EQ(d.radialM, alone.values[3]);
    EXPECT_EQ(d.ispFactor, 1.0);
    // Over all 200 cases the thrust error has about its sigma.
    double squares = 0;
    for (std::size_t i = 0; i < plan.count; ++i) {
        const double e = zolksim::drawCase(plan, i).values[0];
        squares += e * e;
    }
    EXPECT_NEAR(std::sqrt(squares / 200), 0.02, 0.004);  // the sample's sd is within 14 % at 3 sigma
}

TEST(SamplePlan, RefusesWhatCannotBeDrawn) {
    std::string error;
    planOf("count = 10\nseed = 1\nthrust_eror = { dist = \"normal\", mean = 0, sigma = 1 }\n", &error);
    EXPECT_NE(error.find("unknown key 'thrust_eror'"), std::string::npos) << error;
    planOf("count = 10\nseed = 1\nisp = { dist = \"uniform\", min = 2 }\n", &error);
    EXPECT_NE(error.find("needs min and max"), std::string::npos) << error;
    planOf("count = 10\nseed = 1\nisp = { dist = \"normal\", mean = 1, sigma = -1 }\n", &error);
    EXPECT_NE(error.find("sigma of at least zero"), std::string::npos) << error;
    planOf("count = 10\nseed = 1\nisp = { dist = \"normal\", mean = 0, sigma = 1, min = 50 }\n", &error);
    EXPECT_NE(error.find("keep part of the distribution"), std::string::npos) << error;
    planOf("count = 0\nseed = 1\nisp = { dist = \"uniform\", min = 1, max = 2 }\n", &error);
    EXPECT_NE(error.find("sample.count"), std::string::npos) << error;
    planOf("count = 5\nisp = { dist = \"uniform\", min = 1, max = 2 }\n", &error);
    EXPECT_NE(error.find("sample.seed"), std::string::npos) << error;
    planOf("count = 5\nseed = 3\n", &error);
    EXPECT_NE(error.find("nothing to sample"), std::string::npos) << error;
}

TEST(DispersionStatistics, MeanDeviationAndPercentilesBetweenRanks) {
    const zolksim::Spread s = zolksim::spreadOf({10, 9, 8, 7, 6, 5, 4, 3, 2, 1});
    EXPECT_EQ(s.count, 10u);
    EXPECT_DOUBLE_EQ(s.mean, 5.5);
    EXPECT_NEAR(s.sd, 3.0276503540974917, 1e-15);  // sqrt(82.5 / 9), the sample's
    EXPECT_DOUBLE_EQ(s.p5, 1.45);                     // rank 0.45
    EXPECT_DOUBLE_EQ(s.p50, 5.5);
    EXPECT_DOUBLE_EQ(s.p95, 9.55);
    EXPECT_EQ(s.min, 1);
    EXPECT_EQ(s.max, 10);
    const zolksim::Spread one = zolksim::spreadOf({4.0});
    EXPECT_EQ(one.sd, 0.0);
    EXPECT_EQ(one.p95, 4.0);
    EXPECT_EQ(zolksim::spreadOf({}).count, 0u);
}

}  // namespace

namespace {

TEST(DispersionReport, CountsTheMetAndSpreadsOnlyTheirFigures) {
    std::vector<zolksim::DispersionOutcome> outcomes;
    for (int i = 1; i <= 10; ++i) outcomes.push_back({true, static_cast<double>(i), 20.0 + i});
    outcomes.push_back({false, 0.0, 99.0});  // not met: in neither spread
    const std::string text = zolksim::dispersionReport("Tug", "seed 1", outcomes, 12);
    EXPECT_NE(text.find("10 of 12 cases met the goal (83.3 %); 1 have no row yet"), std::string::npos) << text;
    EXPECT_NE(text.find("| time to goal (d) | 5.5000 | 3.0277 | 1.4500 | 5.5000 | 9.5500 | 1.0000 to 10.0000 |"),
              std::string::npos) << text;
    EXPECT_NE(text.find("| propellant used (kg) | 25.500 | 3.028 | 21.450 | 25.500 | 29.550 | 21.000 to 30.000 |"),
              std::string::npos) << text;
}

}  // namespace
