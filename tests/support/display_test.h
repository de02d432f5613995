// A world with the display mode registered and helpers to open displays on it,
// for tests that drive the display class directly.
#pragma once

#include <string>
#include <vector>

#include "mfd/mode_registration.h"
#include "mfd/zolk_mfd.h"
#include "tests/support/module_test.h"

class DisplayTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        InitModule(nullptr);
    }

    // A display of the host's default size: 15 x 16 pixel characters.
    simhost::Display& open(const std::string& position = "Left") {
        simhost::Display* display = w().cockpit().openDisplay(position, kModeName);
        EXPECT_NE(display, nullptr);
        return *display;
    }

    static ZolkMFD& page(simhost::Display& display) { return *static_cast<ZolkMFD*>(display.object()); }

    // A vessel with n main thrusters of the given thrust (N) and ISP on one tank.
    simhost::Vessel& addEngineVessel(const char* name, int n, double thrustEach, double isp) {
        simhost::Vessel& vessel = addVessel(name, 1000.0);
        simhost::Propellant* tank = vessel.addPropellant(500.0, 500.0);
        for (int i = 0; i < n; ++i) addMainThruster(vessel, thrustEach, isp, tank);
        return vessel;
    }

    static std::vector<std::string> texts(const simhost::PageRecord& surface) {
        std::vector<std::string> all;
        for (const simhost::TextItem& item : surface.texts) all.push_back(item.text);
        return all;
    }
};
