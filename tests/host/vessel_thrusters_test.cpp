// Tanks, thrusters, groups and navigation modes through the VESSEL interface.
#include <cmath>
#include <limits>

#include "tests/support/world_fixture.h"

namespace {

class VesselThrusters : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        tug = w().addVessel("Tug");
        tug->emptyMass = 20000.0;
        shared = tug->addPropellant(12000.0, 10000.0);
        own = tug->addPropellant(1000.0, 400.0);
        left = tug->addThruster(vec3(-1, 0, -5), vec3(0, 0, 1), 100000.0, 3000.0, shared);
        right = tug->addThruster(vec3(1, 0, -5), vec3(0, 0, 2), 150000.0, 4000.0, shared);
        retro = tug->addThruster(vec3(0, 0, 5), vec3(0, 0, -1), 5000.0, 2500.0, own);
        tug->addToGroup(THGROUP_MAIN, left);
        tug->addToGroup(THGROUP_MAIN, right);
        tug->addToGroup(THGROUP_RETRO, retro);
        vessel = &tug->vesselInterface();
    }
    simhost::Vessel* tug = nullptr;
    simhost::Propellant *shared = nullptr, *own = nullptr;
    simhost::Thruster *left = nullptr, *right = nullptr, *retro = nullptr;
    VESSEL* vessel = nullptr;
};

TEST_F(VesselThrusters, MassAndGroupsAsBuilt) {
    EXPECT_DOUBLE_EQ(vessel->GetMass(), 30400.0);
    ASSERT_EQ(vessel->GetGroupThrusterCount(THGROUP_MAIN), 2u);
    EXPECT_EQ(vessel->GetGroupThruster(THGROUP_MAIN, 0), left);
    EXPECT_EQ(vessel->GetGroupThruster(THGROUP_MAIN, 1), right);
    EXPECT_EQ(vessel->GetGroupThruster(THGROUP_MAIN, 2), nullptr);
    EXPECT_EQ(vessel->GetGroupThrusterCount(THGROUP_HOVER), 0u);
    EXPECT_EQ(vessel->GetGroupThrusterCount(static_cast<THGROUP_TYPE>(99)), 0u);
    EXPECT_EQ(vessel->GetGroupThruster(static_cast<THGROUP_TYPE>(-1), 0), nullptr);
    // Thrust directions are kept as unit vectors.
    EXPECT_DOUBLE_EQ(length(right->dir), 1.0);
}

TEST_F(VesselThrusters, SharedTanksHaveOneHandle) {
    const PROPELLANT_HANDLE a = vessel->GetThrusterResource(vessel->GetGroupThruster(THGROUP_MAIN, 0));
    const PROPELLANT_HANDLE b = vessel->GetThrusterResource(vessel->GetGroupThruster(THGROUP_MAIN, 1));
    EXPECT_EQ(a, b);
    EXPECT_NE(a, vessel->GetThrusterResource(retro));
    EXPECT_DOUBLE_EQ(vessel->GetPropellantMass(a), 10000.0);
    EXPECT_EQ(vessel->GetPropellantMass(nullptr), 0.0);
    simhost::Thruster* dry = tug->addThruster(vec3(0, 0, 0), vec3(1, 0, 0), 10.0, 100.0, nullptr);
    EXPECT_EQ(vessel->GetThrusterResource(dry), nullptr);
}

TEST_F(VesselThrusters, RatingsAreReadAndWritten) {
    EXPECT_DOUBLE_EQ(vessel->GetThrusterMax0(left), 100000.0);
    EXPECT_DOUBLE_EQ(vessel->GetThrusterIsp(right), 4000.0);
    vessel->SetThrusterMax0(left, 125000.0);
    vessel->SetThrusterIsp(right, 0.0);  // zero is a rating the host keeps
    EXPECT_DOUBLE_EQ(left->max0, 125000.0);
    EXPECT_EQ(right->isp, 0.0);
}

// The host keeps its physics sound whatever a module passes it.
TEST_F(VesselThrusters, UnsoundValuesAndForeignHandlesChangeNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double bad : {-1.0, nan, std::numeric_limits<double>::infinity()}) {
        vessel->SetThrusterMax0(left, bad);
        vessel->SetThrusterIsp(left, bad);
    }
    EXPECT_DOUBLE_EQ(left->max0, 100000.0);
    EXPECT_DOUBLE_EQ(left->isp, 3000.0);

    simhost::Vessel* other = w().addVessel("Other");
    simhost::Thruster* foreign = other->addThruster(vec3(0, 0, 0), vec3(0, 0, 1), 1.0, 1.0, nullptr);
    vessel->SetThrusterMax0(foreign, 42.0);
    EXPECT_EQ(foreign->max0, 1.0);
    EXPECT_EQ(vessel->GetThrusterMax0(foreign), 0.0);
    EXPECT_EQ(vessel->GetThrusterResource(foreign), nullptr);
    int notAHandle = 0;
    EXPECT_EQ(vessel->GetPropellantMass(&notAHandle), 0.0);
}

TEST_F(VesselThrusters, GroupLevelIsClampedAndNaNMeansOff) {
    vessel->SetThrusterGroupLevel(THGROUP_MAIN, 0.5);
    EXPECT_DOUBLE_EQ(left->level, 0.5);
    EXPECT_DOUBLE_EQ(right->level, 0.5);
    EXPECT_EQ(retro->level, 0.0);
    vessel->SetThrusterGroupLevel(THGROUP_MAIN, 7.0);
    EXPECT_DOUBLE_EQ(vessel->GetThrusterGroupLevel(THGROUP_MAIN), 1.0);
    vessel->SetThrusterGroupLevel(THGROUP_MAIN, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(vessel->GetThrusterGroupLevel(THGROUP_MAIN), 0.0);
}

TEST_F(VesselThrusters, NavigationModesSwitchIndependently) {
    for (int mode = 1; mode <= 7; ++mode) EXPECT_FALSE(vessel->GetNavmodeState(mode));
    EXPECT_TRUE(vessel->ActivateNavmode(NAVMODE_PROGRADE));
    EXPECT_FALSE(vessel->ActivateNavmode(NAVMODE_PROGRADE));  // already on
    EXPECT_TRUE(vessel->ActivateNavmode(NAVMODE_HOLDALT));
    EXPECT_TRUE(vessel->GetNavmodeState(NAVMODE_PROGRADE));
    EXPECT_FALSE(vessel->GetNavmodeState(NAVMODE_KILLROT));
    EXPECT_TRUE(vessel->DeactivateNavmode(NAVMODE_PROGRADE));
    EXPECT_FALSE(vessel->DeactivateNavmode(NAVMODE_PROGRADE));
    EXPECT_TRUE(vessel->GetNavmodeState(NAVMODE_HOLDALT));
    for (const int bad : {0, 8, -1, 255}) {
        EXPECT_FALSE(vessel->ActivateNavmode(bad));
        EXPECT_FALSE(vessel->GetNavmodeState(bad));
    }
}

}  // namespace
