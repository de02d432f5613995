// A clean world for each host test: the built-in bodies, trace off and empty.
#pragma once

#include <gtest/gtest.h>

#include "host/trace.h"
#include "host/world.h"
#include "tests/support/literal_arguments.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        simhost::world().reset();
        simhost::world().addBuiltInBodies();
        simhost::setTraceEnabled(false);
        simhost::clearTrace();
    }
    void TearDown() override {
        simhost::setTraceEnabled(false);
        simhost::clearTrace();
        simhost::world().reset();
    }

    simhost::World& w() { return simhost::world(); }
    simhost::Body& earth() { return *w().findBody("Earth"); }
};
