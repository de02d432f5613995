// A clean world for each test: the built-in bodies (WorldTest) or Earth alone,
// fixed at the origin (EarthOnlyWorldTest); trace off and empty either way.
#pragma once

#include <gtest/gtest.h>

#include "host/physics/physical_constants.h"
#include "host/world/trace.h"
#include "host/world/world.h"
#include "tests/support/literal_arguments.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        simhost::world().reset();
        addBodies();
        simhost::setTraceEnabled(false);
        simhost::clearTrace();
    }
    void TearDown() override {
        simhost::setTraceEnabled(false);
        simhost::clearTrace();
        simhost::world().reset();
    }
    virtual void addBodies() { simhost::world().addBuiltInBodies(); }

    simhost::World& w() { return simhost::world(); }
    simhost::Body& earth() { return *w().findBody("Earth"); }
};

// Earth as a point mass at rest at the origin and nothing else, for orbits
// with closed-form answers.
class EarthOnlyWorldTest : public WorldTest {
protected:
    void addBodies() override {
        simhost::world().setNonsphericalGravity(false);
        simhost::world().addBody("Earth", simhost::kGmEarth, simhost::kRadiusEarth, nullptr, ELEMENTS{},
                                 simhost::kJ2000Mjd);
    }
};
