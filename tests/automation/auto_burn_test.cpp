// The periapsis burn: its window, and the level it commands on real orbits.
#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "automation/auto_burn.h"
#include "tests/support/module_test.h"

namespace {

constexpr double kEarthRadius = 6.371e6;  // m
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(BurnLevel, RunsInsideTheWindowAndStopsOutsideIt) {
    struct Case {
        double ratio, level;
    };
    const Case cases[] = {
        {0.1, 1.0},       {0.9, 1.0},       {0.5, 0.0},
        {1.0 / 6.0, 1.0},  // 0.16666666... lies below 0.1666667
        {5.0 / 6.0, 1.0},  // 0.83333333... lies above 0.8333333
        {0.1666667, 0.0}, {0.8333333, 0.0}, {0.0, 1.0},
        {1.0, 1.0},       {kInf, 1.0},      {-kInf, 1.0},
        {std::numeric_limits<double>::quiet_NaN(), 0.0},
    };
    for (const Case& c : cases) EXPECT_EQ(burnLevel(c.ratio), c.level) << "ratio " << c.ratio;
}

class AutoBurn : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        vessel = &addVessel("Burner", 5000.0);
        simhost::Propellant* tank = vessel->addPropellant(1000.0, 1000.0);
        addMainThruster(*vessel, 100.0, 3000.0, tank);
        addMainThruster(*vessel, 100.0, 3000.0, tank);
        control("Burner", "Earth");
    }
    double mainLevel() { return vessel->vesselInterface().GetThrusterGroupLevel(THGROUP_MAIN); }
    void placeAt(double trueAnomaly) {
        placeOnOrbit(*vessel, earth(), kEarthRadius + 400e3, kEarthRadius + 4000e3, trueAnomaly);
    }

    simhost::Vessel* vessel = nullptr;
};

TEST_F(AutoBurn, BurnsAroundPeriapsisAndCoastsAroundApoapsis) {
    // Just before and just after periapsis, then far from it on either side.
    const struct {
        double trueAnomaly, level;
    } cases[] = {{-0.2, 1.0}, {0.2, 1.0}, {std::numbers::pi, 0.0}, {2.0, 0.0}, {-2.0, 0.0}};
    for (const auto& c : cases) {
        placeAt(c.trueAnomaly);
        vessel->vesselInterface().SetThrusterGroupLevel(THGROUP_MAIN, 0.5);
        updateAutoBurn();
        EXPECT_EQ(mainLevel(), c.level) << "true anomaly " << c.trueAnomaly;
    }
}

TEST_F(AutoBurn, AsksForTheOrbitOnceAndSetsTheMainGroupOnce) {
    placeAt(0.1);
    startTrace();
    updateAutoBurn();
    EXPECT_EQ(simhost::traceEntries(),
              (std::vector<std::string>{"oapiGetVesselByName(Burner)", "oapiGetVesselInterface(Burner)",
                                        "GetElements(Earth, 0, 0)", "SetThrusterGroupLevel(0, 1)"}));
}

// A reference the host cannot form an orbit about (here another vessel) gives
// no period or periapsis time: the engines are shut down, not left to guesswork.
TEST_F(AutoBurn, ShutsTheEnginesDownWhenTheHostGivesNoOrbit) {
    addVessel("Station", 1e5).pos = vessel->pos + vec3(1000, 0, 0);
    placeAt(0.1);
    vessel->vesselInterface().SetThrusterGroupLevel(THGROUP_MAIN, 1.0);
    control("Burner", "Station");
    updateAutoBurn();
    EXPECT_EQ(mainLevel(), 0.0);
}

}  // namespace
