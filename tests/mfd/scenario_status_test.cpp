// A display's status in a scenario: the lines it writes, and what reading a
// block does to the record and to the vessel's main engines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "host/scenario/scenario_io.h"
#include "tests/support/display_test.h"

namespace {

class ScenarioStatus : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        station = &addEngineVessel("Space Station", 2, 50.0, 3000.0);
        w().setFocus(station);
        display = &open();
    }

    std::string written() {
        simhost::ScenarioWriter writer;
        page(*display).WriteStatus(writer.handle());
        return writer.text();
    }

    void read(std::vector<std::string> lines) {
        simhost::ScenarioReader reader(std::move(lines));
        page(*display).ReadStatus(reader.handle());
    }

    std::vector<std::string> vesselCalls(std::vector<std::string> lines) {
        startTrace();
        read(std::move(lines));
        simhost::setTraceEnabled(false);
        std::vector<std::string> calls;
        for (const std::string& name : tracedCalls())
            if (name != "oapiReadScenario_nextline") calls.push_back(name);
        return calls;
    }

    simhost::Vessel* station = nullptr;
    simhost::Display* display = nullptr;
};

TEST_F(ScenarioStatus, WritesSixLinesWithNamesAsSingleTokens) {
    std::strcpy(pluginState.refName, "Sun Two");
    pluginState.attitudeHold = 1;
    pluginState.autoBurn = 7;
    pluginState.totalThrust = 0.1;
    EXPECT_EQ(written(),
              "  ATT 1\n  ABP 7\n  MOT 0.1\n  ISP 3000.0\n  RBD Sun_Two\n  VES Space_Station\n");
    // Writing leaves the names as they are.
    EXPECT_STREQ(pluginState.refName, "Sun Two");
    EXPECT_STREQ(pluginState.vesselName, "Space Station");
}

TEST_F(ScenarioStatus, ReadsBackWhatItWrote) {
    pluginState.attitudeHold = 1;
    pluginState.autoBurn = 1;
    std::strcpy(pluginState.refName, "Moon");
    simhost::ScenarioWriter writer;
    page(*display).WriteStatus(writer.handle());
    resetPluginState();
    read(writer.lines());
    EXPECT_EQ(pluginState.attitudeHold, 1);
    EXPECT_EQ(pluginState.autoBurn, 1);
    EXPECT_STREQ(pluginState.refName, "Moon");
    EXPECT_STREQ(pluginState.vesselName, "Space Station");
    EXPECT_EQ(pluginState.holdFrameCaptured, 0);
    EXPECT_EQ(pluginState.refBody, nullptr);  // the next step looks the body up
}

// A reference body "Space Station" is written Space_Station and read
// back with its space; so is the vessel's name, each name on its own.
TEST_F(ScenarioStatus, BothNamesComeBackWithTheirSpaces) {
    std::strcpy(pluginState.refName, "Space Station");
    std::strcpy(pluginState.vesselName, "Sun Two");
    simhost::ScenarioWriter writer;
    page(*display).WriteStatus(writer.handle());
    EXPECT_EQ(writer.text(), "  ATT 0\n  ABP 0\n  MOT 100.0\n  ISP 3000.0\n  RBD Space_Station\n  VES Sun_Two\n");
    resetPluginState();
    read(writer.lines());
    EXPECT_STREQ(pluginState.refName, "Space Station");
    EXPECT_STREQ(pluginState.vesselName, "Sun Two");

    // Read alone, and with an underscore of its own: it comes back as a space.
    resetPluginState();
    read({"RBD My_Own_Body"});
    EXPECT_STREQ(pluginState.refName, "My Own Body");
    EXPECT_STREQ(pluginState.vesselName, "");
}

TEST_F(ScenarioStatus, ThrustAndIspReachTheNamedVesselOnlyWhenTheyDiffer) {
    // Equal to what the display read at opening: no call to the vessel at all.
    EXPECT_EQ(vesselCalls({"MOT 100", "ISP 3000"}), std::vector<std::string>{});

    // Different: applied to the vessel whose name had underscores in the file.
    addEngineVessel("Space_Station", 1, 1.0, 1.0);  // must not be the one reached
    read({"VES Space_Station", "MOT 300", "ISP 4500.25"});
    EXPECT_STREQ(pluginState.vesselName, "Space Station");
    EXPECT_EQ(station->thrusters[0]->max0, 150.0);
    EXPECT_EQ(station->thrusters[1]->max0, 150.0);
    EXPECT_EQ(station->thrusters[1]->isp, 4500.25);  // double precision, unlike a typed entry
    EXPECT_EQ(pluginState.totalThrust, 300.0);
    EXPECT_EQ(w().findVessel("Space_Station")->thrusters[0]->max0, 1.0);
}

TEST_F(ScenarioStatus, OnlyTheBlocksOwnRealAmountsAreApplied) {
    read({"MOT 300", "ISP 4000"});
    // The pilot changes the engines; a later block without MOT and ISP must
    // not bring the earlier file's values back.
    station->thrusters[0]->max0 = 10.0;
    station->thrusters[1]->max0 = 10.0;
    display = &open("Right");  // reads 20 N
    EXPECT_EQ(vesselCalls({"ATT 1", "MOT", "ISP newtons"}), std::vector<std::string>{});
    EXPECT_EQ(station->thrusters[0]->max0, 10.0);

    for (const char* bad : {"MOT nan", "MOT -5", "MOT inf", "MOT 1e999", "MOT -0x1p3"}) {
        read({bad, "ISP -1", "ISP NAN"});
        EXPECT_EQ(station->thrusters[0]->max0, 10.0) << bad;
        EXPECT_EQ(station->thrusters[0]->isp, 4000.0) << bad;
        EXPECT_EQ(pluginState.totalThrust, 20.0) << bad;
    }
    read({"MOT 0"});  // zero is a real amount
    EXPECT_EQ(station->thrusters[0]->max0, 0.0);
}

TEST_F(ScenarioStatus, LinesTheReaderSkipsOrCuts) {
    const RecordBytes before = recordBytes();
    read({"", "BEGIN_MFD", "TYPE User", "MODE ZOLKMFD", "ATTITUDE 1", "ABP2", "RB", "VES"});
    // "ABP2" parses from its fourth character: 2.
    EXPECT_EQ(pluginState.autoBurn, 2);
    pluginState.autoBurn = 0;
    EXPECT_EQ(recordBytes(), before);

    read({"RBD Earth Moon", "att 1", "ATT 4294967297"});
    EXPECT_STREQ(pluginState.refName, "Earth");
    EXPECT_EQ(pluginState.attitudeHold, 1);
}

}  // namespace
