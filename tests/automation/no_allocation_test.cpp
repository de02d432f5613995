// The per-step callback runs on every simulation step: it must not touch the
// heap. This program counts every allocation made through operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "automation/time_step_driver.h"
#include "tests/support/module_test.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
// Kept out of line: inlined, g++ would pair the free() with the new-expression
// at the call site and warn of a mismatch that is not there.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

class NoAllocation : public ModuleTest {};

TEST_F(NoAllocation, NoStepOfAllThreeBlocksAllocates) {
    // A name longer than any short-string buffer, so a lookup that copied it
    // into a string would show up here.
    const char* name = "Long-Range Ion Tug With A Very Long Registered Name";
    simhost::Vessel& vessel = addVessel(name, 4000.0);
    simhost::Propellant* tanks[] = {vessel.addPropellant(500, 500), vessel.addPropellant(500, 500)};
    for (int i = 0; i < 4; ++i) addMainThruster(vessel, 5.0, 30000.0, tanks[i % 2]);
    placeOnOrbit(vessel, earth(), 6.371e6 + 400e3, 6.371e6 + 2000e3, 0.3);
    control(name, "Earth");
    pluginState.attitudeHold = 1;
    pluginState.autoBurn = 1;
    pluginState.totalThrust = 20.0;
    pluginState.mainIsp = 30000.0;

    opcPreStep(0.0, 1.0, 51544.5);  // warm-up outside the count
    const long before = allocations.load();
    for (int step = 0; step < 2000; ++step) {
        opcPreStep(step, 1.0, 51544.5);
        vessel.pos = vessel.pos + vessel.vel;  // move a little, so each step sees new geometry
    }
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_EQ(pluginState.attitudeHold, 1);
    EXPECT_GT(pluginState.mainDeltaV, 0.0);
}

// The counter itself must see allocations, or the case above proves nothing.
TEST_F(NoAllocation, TheCounterSeesAnAllocation) {
    const long before = allocations.load();
    void* volatile p = ::operator new(64);
    ::operator delete(p);
    EXPECT_EQ(allocations.load() - before, 1);
}

}  // namespace
