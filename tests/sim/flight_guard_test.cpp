// The flight guard: a step too coarse for the orbit, and a path through the
// body's surface, whether a step ends beneath it or passes under it between
// two ends above it.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/physics/physical_constants.h"
#include "sim/run/flight_guard.h"

namespace {

using zolksim::FlightEnd;
using zolksim::FlightGuard;

constexpr double kGm = simhost::kGmEarth, kRadius = simhost::kRadiusEarth;

struct Setting {
    simhost::Body earth{"Earth", kGm, kRadius};
    simhost::Vessel tug{"Tug"};
    void place(VECTOR3 pos, VECTOR3 vel) {
        tug.pos = pos;
        tug.vel = vel;
    }
};

// A hundredth of the period of a circular orbit at 400 km: 2 pi sqrt(r^3/GM) / 100.
TEST(FlightGuard, StepRuleIsAHundredthOfTheCircularPeriodAtTheVesselsDistance) {
    const double r = kRadius + 400e3;
    EXPECT_NEAR(zolksim::longestSoundStep(kGm, r), 55.45, 0.01);
    EXPECT_NEAR(zolksim::longestSoundStep(kGm, 42164e3), 861.6, 0.1);  // geostationary

    Setting s;
    s.place(vec3(r, 0, 0), vec3(0, 7700, 0));
    EXPECT_EQ(zolksim::unsoundStartReason(s.tug, s.earth, 55), "");
    EXPECT_NE(zolksim::unsoundStartReason(s.tug, s.earth, 56).find("a step of 56 s is too coarse at 400 km above Earth"),
              std::string::npos);
    FlightGuard guard(s.tug, s.earth, 56);
    EXPECT_FALSE(guard.checkStart(0));
    EXPECT_EQ(guard.end(), FlightEnd::StepTooCoarse);

    // Sound at the start, too coarse once the vessel has come closer.
    s.place(vec3(kRadius + 2000e3, 0, 0), vec3(0, -100, 0));
    FlightGuard falling(s.tug, s.earth, 60);
    ASSERT_TRUE(falling.checkStart(0));
    s.place(vec3(kRadius + 300e3, 0, 0), vec3(0, 7900, 0));
    EXPECT_FALSE(falling.checkStep(60));
    EXPECT_EQ(falling.end(), FlightEnd::StepTooCoarse);
    EXPECT_EQ(falling.stopTime(), 60);
}

TEST(FlightGuard, APathThroughTheSurfaceStopsTheFlightWhereItCrossed) {
    Setting s;
    // Straight down at 1 km/s from 1 km up: beneath the surface after 1.5 s of a
    // 2 s step, crossing it (distance linear over the step) at 1 s + 0.5 * 2/3.
    s.place(vec3(kRadius + 1000, 0, 0), vec3(-1000, 0, 0));
    FlightGuard down(s.tug, s.earth, 1);
    ASSERT_TRUE(down.checkStart(1));
    s.place(vec3(kRadius - 500, 0, 0), vec3(-1000, 0, 0));
    EXPECT_FALSE(down.checkStep(2));
    EXPECT_EQ(down.end(), FlightEnd::HitBody);
    EXPECT_NEAR(down.stopTime(), 1 + 1000.0 / 1500.0, 1e-9);
    EXPECT_EQ(down.reason(), "Tug hit the surface of Earth");

    // Both ends of a step 50 km up, falling then rising: the path went under
    // the surface when the conic's periapsis lies beneath it (20 km), not when
    // it clears it (10 km up).
    for (const double periapsisAltitude : {-20e3, 10e3}) {
        const double rp = kRadius + periapsisAltitude, ra = kRadius + 2000e3;
        const double e = (ra - rp) / (ra + rp), p = rp * (1 + e), r = kRadius + 50e3;
        const double nu = std::acos((p / r - 1) / e);  // true anomaly 50 km up
        auto at = [&](double anomaly) {
            const double radius = p / (1 + e * std::cos(anomaly)), k = std::sqrt(kGm / p);
            s.place(vec3(radius * std::cos(anomaly), radius * std::sin(anomaly), 0),
                    vec3(-k * std::sin(anomaly), k * (e + std::cos(anomaly)), 0));
        };
        at(-nu);
        FlightGuard guard(s.tug, s.earth, 1);
        ASSERT_TRUE(guard.checkStart(0));
        at(nu);
        if (periapsisAltitude < 0) {
            EXPECT_FALSE(guard.checkStep(10));
            EXPECT_EQ(guard.end(), FlightEnd::HitBody);
            EXPECT_NEAR(guard.stopTime(), 5, 1e-6);  // radial speeds equal and opposite
        } else {
            EXPECT_TRUE(guard.checkStep(10)) << guard.reason();
        }
    }
}

}  // namespace
