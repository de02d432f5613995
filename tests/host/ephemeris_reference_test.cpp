// The host's ephemeris against independent ones: the positions in
// tests/reference/ephemeris_table.txt (Astronomy Engine) and de405_table.txt
// (JPL's DE405), each at the same 400 dates over 2000-2030 and made by the
// script beside it, in the host's frame, the mean ecliptic and equinox of
// J2000. Each tolerance is a little above the largest error the model has over
// the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "host/physics/fitted_ephemeris.h"
#include "host/physics/physical_constants.h"
#include "host/physics/solar_system.h"

namespace {

using simhost::StateVectors;

// One table row: the date (MJD, TT) and positions (m).
struct Row {
    double mjd;
    VECTOR3 earth, mars, venus, jupiter, moon;  // planets about the Sun's centre, the Moon about Earth's
};

std::vector<Row> referenceTable(const char* path) {
    std::ifstream in(path);
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Row r{};
        fields >> r.mjd;
        for (VECTOR3* v : {&r.earth, &r.mars, &r.venus, &r.jupiter, &r.moon}) {
            fields >> v->x >> v->y >> v->z;
            *v = *v * 1e3;  // km to m
        }
        if (fields) rows.push_back(r);
    }
    return rows;
}

// Angle between two directions (arcseconds).
double arcseconds(const VECTOR3& a, const VECTOR3& b) {
    return std::atan2(length(crossp(a, b)), dotp(a, b)) / simhost::kArcsecond;
}

// The largest errors of the host's bodies over the table.
// The largest errors of the host's bodies over the table: directions
// (arcseconds) and the Moon's distance (m).
struct Errors {
    double earth, mars, venus, jupiter, moon, moonDistance;
};

// Measured, with the libraries (library_ephemeris.h) and with the analytic
// models a build without them keeps. Most of the libraries' figures are the
// reference's own (its truncated series; its lunar distances run 10.6 km
// short on average; Venus's 7.0" against DE405's 0.05").
constexpr Errors kLibraryMeasured{2.29, 6.04, 7.02, 10.5, 4.11, 14.9e3};
constexpr Errors kAnalyticMeasured{22.8, 97.6, 26.8, 305.4, 10.2, 20.9e3};
constexpr double kMargin = 1.1;  // tolerance over the measured figure

// The secular drift of each body's ecliptic longitude against the table
// (arcseconds per Julian century): the least-squares slope of the signed
// difference, host minus table, over the table's dates. A model's periodic
// errors (its left-out perturbations) largely cancel in it, so that a rate
// off by a little shows where the largest error above would hide it.
struct Drifts {
    double earth, mars, venus, jupiter, moon;
};

class Slope {
public:
    void add(double t, double y) { n_ += 1, t_ += t, y_ += y, tt_ += t * t, ty_ += t * y; }
    double value() const { return (n_ * ty_ - t_ * y_) / (n_ * tt_ - t_ * t_); }

private:
    double n_ = 0, t_ = 0, y_ = 0, tt_ = 0, ty_ = 0;
};

double longitudeArcseconds(const VECTOR3& host, const VECTOR3& table) {
    const double d = std::atan2(host.y, host.x) - std::atan2(table.y, table.x);
    return std::remainder(d, 2 * std::numbers::pi) / simhost::kArcsecond;
}

Errors worstOverTable(const std::vector<Row>& rows, bool analytic, Drifts* drifts = nullptr) {
    std::size_t count = 0;
    const simhost::BodySpec* bodies = simhost::builtInBodies(count);
    std::vector<simhost::BodyOrbit> orbits;
    int earth = -1, moon = -1, mars = -1, venus = -1, jupiter = -1;
    for (std::size_t i = 0; i < count; ++i) {
        orbits.push_back(bodies[i].orbit);
        if (analytic) orbits.back().library = simhost::LibraryBody::None;
        const std::string name = bodies[i].name;
        const int index = static_cast<int>(i);
        if (name == "Earth") earth = index;
        if (name == "Moon") moon = index;
        if (name == "Mars") mars = index;
        if (name == "Venus") venus = index;
        if (name == "Jupiter") jupiter = index;
    }
    simhost::FittedEphemeris ephemeris;
    ephemeris.setBodies(orbits.data(), orbits.size());
    std::vector<StateVectors> s(count);
    Errors w{};
    Slope slopes[5];
    for (const Row& r : rows) {
        ephemeris.states(r.mjd, s.data(), false);
        const VECTOR3 geocentricMoon = s[moon].pos - s[earth].pos;
        w.earth = std::max(w.earth, arcseconds(s[earth].pos, r.earth));
        w.mars = std::max(w.mars, arcseconds(s[mars].pos, r.mars));
        w.venus = std::max(w.venus, arcseconds(s[venus].pos, r.venus));
        w.jupiter = std::max(w.jupiter, arcseconds(s[jupiter].pos, r.jupiter));
        w.moon = std::max(w.moon, arcseconds(geocentricMoon, r.moon));
        w.moonDistance = std::max(w.moonDistance, length(geocentricMoon - r.moon));
        const double t = (r.mjd - simhost::kJ2000Mjd) / simhost::kDaysPerJulianCentury;
        slopes[0].add(t, longitudeArcseconds(s[earth].pos, r.earth));
        slopes[1].add(t, longitudeArcseconds(s[mars].pos, r.mars));
        slopes[2].add(t, longitudeArcseconds(s[venus].pos, r.venus));
        slopes[3].add(t, longitudeArcseconds(s[jupiter].pos, r.jupiter));
        slopes[4].add(t, longitudeArcseconds(geocentricMoon, r.moon));
    }
    if (drifts) *drifts = Drifts{slopes[0].value(), slopes[1].value(), slopes[2].value(), slopes[3].value(),
                                 slopes[4].value()};
    return w;
}

void expectWithin(const Errors& got, const Errors& measured) {
    EXPECT_LT(got.earth, measured.earth * kMargin);
    EXPECT_LT(got.mars, measured.mars * kMargin);
    EXPECT_LT(got.venus, measured.venus * kMargin);
    EXPECT_LT(got.jupiter, measured.jupiter * kMargin);
    EXPECT_LT(got.moon, measured.moon * kMargin);
    EXPECT_LT(got.moonDistance, measured.moonDistance * kMargin);
}

TEST(EphemerisReference, BodiesAgreeWithTheIndependentTable) {
    const std::vector<Row> rows = referenceTable(ZOLK_EPHEMERIS_TABLE);
    ASSERT_EQ(rows.size(), 400u);
    if (simhost::libraryEphemerisAvailable()) expectWithin(worstOverTable(rows, false), kLibraryMeasured);
    // The analytic models are what a build without the library flies: kept to their figures here too.
    expectWithin(worstOverTable(rows, true), kAnalyticMeasured);
}

// JPL's DE405 tells the libraries' own errors apart from the other table's
// (the Moon's 0.7 km is that of libnova's lunar series cut to its larger
// terms). Venus on ERFA's eraPlan94 instead of VSOP87 was 4.69" off.
constexpr Errors kLibraryMeasuredOnDe405{0.0152, 0.0652, 0.0542, 0.198, 0.409, 727};

TEST(EphemerisReference, LibraryBodiesAgreeWithDe405) {
    if (!simhost::libraryEphemerisAvailable()) GTEST_SKIP() << "a build without the libraries";
    const std::vector<Row> rows = referenceTable(ZOLK_DE405_TABLE);
    ASSERT_EQ(rows.size(), 400u);
    expectWithin(worstOverTable(rows, false), kLibraryMeasuredOnDe405);
}

// The analytic models' longitude drifts against DE405 over 2000-2030, as
// measured. A Mars rate off by 0.0185 degrees a century (67"/century, 20" by
// 2030) stays within the largest error's tolerance (107") but not this one.
// (Jupiter's is the near-900-year great inequality with Saturn, which its
// elements leave out, seen over thirty years.)
constexpr Drifts kAnalyticDriftOnDe405{1.56, -27.4, -3.96, -573.0, -0.561};  // "/century

TEST(EphemerisReference, AnalyticModelsDriftNoMoreThanMeasured) {
    const std::vector<Row> rows = referenceTable(ZOLK_DE405_TABLE);
    ASSERT_EQ(rows.size(), 400u);
    Drifts got{};
    worstOverTable(rows, true, &got);
    RecordProperty("drifts_arcsec_per_century", std::to_string(got.earth) + " " + std::to_string(got.mars) + " " +
                                                    std::to_string(got.venus) + " " + std::to_string(got.jupiter) +
                                                    " " + std::to_string(got.moon));
    const Drifts& measured = kAnalyticDriftOnDe405;
    EXPECT_LT(std::abs(got.earth), std::abs(measured.earth) * kMargin);
    EXPECT_LT(std::abs(got.mars), std::abs(measured.mars) * kMargin);
    EXPECT_LT(std::abs(got.venus), std::abs(measured.venus) * kMargin);
    EXPECT_LT(std::abs(got.jupiter), std::abs(measured.jupiter) * kMargin);
    EXPECT_LT(std::abs(got.moon), std::abs(measured.moon) * kMargin);
}

}  // namespace
