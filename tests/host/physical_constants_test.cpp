// The built-in bodies' constants against the values their sources publish
// (docs/physical-constants.md): each GM as JPL's DE430/DE431 gives it in
// km^3/s^2, each mean radius as the IAU's cartographic report gives it in km,
// and the zonal coefficients of Earth, the Moon and Mars; the body table and
// the fields carry exactly these, and the table of the docs lists them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "host/physics/physical_constants.h"
#include "host/physics/solar_system.h"
#include "host/physics/zonal_gravity.h"

namespace {

struct Published {
    const char* name;
    double gmKm3;     // km^3/s^2, DE430/DE431
    double radiusKm;  // km, mean radius
};

// As printed by the sources, not worked out from the code's constants.
constexpr Published kPublished[] = {
    {"Sun", 132712440041.939400, 695700.0},
    {"Earth", 398600.435436, 6371.0084},
    {"Moon", 4902.800066, 1737.4},
    {"Mars", 42828.375214, 3389.50},
    {"Venus", 324858.592000, 6051.8},
    {"Jupiter", 126712764.800000, 69911.0},
};

const simhost::BodySpec* builtIn(const char* name) {
    std::size_t count = 0;
    const simhost::BodySpec* table = simhost::builtInBodies(count);
    for (std::size_t i = 0; i < count; ++i)
        if (std::string(table[i].name) == name) return &table[i];
    return nullptr;
}

TEST(PhysicalConstants, AreThoseTheSourcesPublish) {
    std::size_t count = 0;
    simhost::builtInBodies(count);
    ASSERT_EQ(count, std::size(kPublished));
    for (const Published& p : kPublished) {
        const simhost::BodySpec* body = builtIn(p.name);
        ASSERT_NE(body, nullptr) << p.name;
        // To the last digit the source gives (DE430 prints 6 decimals in km^3/s^2).
        EXPECT_NEAR(body->gm, p.gmKm3 * 1e9, 4e-16 * p.gmKm3 * 1e9) << p.name;
        EXPECT_EQ(body->orbit.gm, body->gm) << p.name;
        EXPECT_NEAR(body->radius, p.radiusKm * 1e3, 1e-9) << p.name;
    }
    EXPECT_EQ(simhost::kGmMoon, 4.902800066e12);
    // Earth: EGM2008's normalised Cn0 and its reference radius; Jn = -sqrt(2n + 1) Cn0.
    const simhost::ZonalField* earth = simhost::builtInZonalField("Earth", simhost::kGmEarth);
    ASSERT_NE(earth, nullptr);
    const double normalised[] = {-0.484165143790815e-3, 0.957161207093473e-6, 0.539965866638991e-6};
    for (int n = 2; n <= 4; ++n)
        EXPECT_NEAR(earth->j[n], -std::sqrt(2.0 * n + 1) * normalised[n - 2], 1e-15 * std::abs(earth->j[n])) << n;
    EXPECT_EQ(earth->radius, 6378136.3);
    const simhost::ZonalField* moon = simhost::builtInZonalField("Moon", simhost::kGmMoon);
    const simhost::ZonalField* mars = simhost::builtInZonalField("Mars", simhost::kGmMars);
    ASSERT_TRUE(moon && mars);
    EXPECT_EQ(moon->j[2], 2.033e-4);
    EXPECT_EQ(moon->radius, 1738.0e3);
    EXPECT_EQ(mars->j[2], 1.9566e-3);
    EXPECT_EQ(mars->radius, 3396.0e3);
}

// Every body's GM and radius appears in the docs' table on its body's row,
// written as the source prints it.
TEST(PhysicalConstants, TheDocsTableListsEachBodysValues) {
    std::ifstream in(ZOLK_CONSTANTS_DOC);
    ASSERT_TRUE(in) << ZOLK_CONSTANTS_DOC;
    std::stringstream text;
    text << in.rdbuf();
    const std::string doc = text.str();
    for (const Published& p : kPublished) {
        const std::string rowStart = std::string("| ") + p.name + " |";
        const std::size_t row = doc.find(rowStart);
        ASSERT_NE(row, std::string::npos) << p.name;
        const std::string line = doc.substr(row, doc.find('\n', row) - row);
        std::ostringstream gm, radius;
        gm.precision(15);
        radius.precision(10);
        gm << p.gmKm3;
        radius << p.radiusKm;
        EXPECT_NE(line.find(gm.str()), std::string::npos) << line << " lacks " << gm.str();
        EXPECT_NE(line.find(radius.str()), std::string::npos) << line << " lacks " << radius.str();
    }
}

}  // namespace
