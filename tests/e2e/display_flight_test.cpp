// The display page end to end through the real shared library: a scenario
// opens the page, the pilot works it with keys, buttons and typed entries
// while the host steps, and the settings survive a save and a reload into a
// freshly loaded module.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/scenario/scenario_file.h"
#include "tests/support/world_fixture.h"

namespace {

constexpr DWORD kA = 0x1E, kN = 0x31, kM = 0x32, kV = 0x2F, kB = 0x30;

// Two thrusters of 2 N on one xenon tank, on an elliptical Earth orbit.
const char* const kScenario = R"(BEGIN_ENVIRONMENT
  DATE MJD 60000
END_ENVIRONMENT
BEGIN_FOCUS
  SHIP Ion Tug
END_FOCUS
BEGIN_MFD Left
  TYPE User
  MODE ZOLKMFD
  ATT 0
  ABP 0
  MOT 4
  ISP 30000
  RBD Earth
  VES Ion_Tug
END_MFD
BEGIN_SHIPS
Ion Tug
  EMPTY_MASS 1000
  REF Earth
  RPOS 6771000 0 0
  RVEL 0 8200 0
  TANK 400 400
  THRUSTER 0 0 -2 0 0 1 2 30000 0 0
  THRUSTER 0 0.5 -2 0 0 1 2 30000 0 0
  GROUP MAIN 0 1
END
Beacon
  EMPTY_MASS 50
  REF Earth
  RPOS 0 7000000 0
  RVEL -7500 0 0
END
END_SHIPS
)";

class DisplayFlight : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        loadModule();
    }

    void loadModule() {
        std::string error;
        ASSERT_NE(w().modules().load(ZOLK_MODULE_PATH, error), nullptr) << error;
    }

    void load(const std::string& text) {
        const simhost::ScenarioLoad result = simhost::loadScenarioText(text, "test.scn");
        ASSERT_TRUE(result.ok) << result.error.text << " at line " << result.error.line;
        display = w().cockpit().display("Left");
        ASSERT_NE(display, nullptr);
        ASSERT_NE(display->object(), nullptr);
    }

    std::vector<std::string> page() {
        std::vector<std::string> texts;
        for (const simhost::TextItem& item : display->redraw().texts) texts.push_back(item.text);
        return texts;
    }

    static bool shows(const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    simhost::Vessel& tug() { return *w().findVessel("Ion Tug"); }

    simhost::Display* display = nullptr;
};

TEST_F(DisplayFlight, SettingsSurviveSaveAndReloadIntoAFreshModule) {
    load(kScenario);
    std::vector<std::string> shown = page();
    EXPECT_TRUE(shows(shown, "Ion Tug"));  // the underscore is a space again
    EXPECT_TRUE(shows(shown, "Earth"));
    EXPECT_TRUE(shows(shown, "4.000 N"));
    EXPECT_TRUE(shows(shown, "30000.00 N*s/kg"));
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "Off"), 2);

    for (int i = 0; i < 10; ++i) w().step(1.0);
    // The figures of the steps: 4 N on 1400 kg for a day; the rocket equation.
    shown = page();
    EXPECT_TRUE(shows(shown, "246.857")) << ::testing::PrintToString(shown);
    EXPECT_TRUE(shows(shown, "10094.17 m/s")) << ::testing::PrintToString(shown);

    // The pilot: hold on by key, burn on by button, new thrust, a refused then
    // an accepted ISP, another reference body.
    auto& cockpit = w().cockpit();
    EXPECT_TRUE(display->pressKey(kA));
    EXPECT_TRUE(display->pressButton(5, 1));
    EXPECT_TRUE(display->pressKey(kN));
    EXPECT_EQ(cockpit.answerInputBox("250000"), simhost::InputBoxAnswer::Accepted);
    EXPECT_TRUE(display->pressKey(kM));
    EXPECT_EQ(cockpit.answerInputBox("fast"), simhost::InputBoxAnswer::Refused);
    EXPECT_EQ(cockpit.answerInputBox("3500"), simhost::InputBoxAnswer::Accepted);
    EXPECT_TRUE(display->pressKey(kV));
    EXPECT_EQ(cockpit.answerInputBox("Moon"), simhost::InputBoxAnswer::Accepted);
    EXPECT_TRUE(display->pressKey(kB));
    EXPECT_EQ(cockpit.answerInputBox("Nobody"), simhost::InputBoxAnswer::Refused);
    cockpit.cancelInputBox();
    for (int i = 0; i < 10; ++i) w().step(1.0);

    EXPECT_EQ(tug().thrusters[0]->max0, 125000.0);
    EXPECT_EQ(tug().thrusters[1]->isp, 3500.0);
    const std::string saved = simhost::saveScenarioText();
    for (const char* line : {"  ATT 1\n", "  ABP 1\n", "  MOT 250000.0\n", "  ISP 3500.0\n", "  RBD Moon\n", "  VES Ion_Tug\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << " in\n" << saved;

    // A fresh module: its record starts at zero and learns everything from the file.
    w().reset();
    loadModule();
    load(saved);
    shown = page();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "On"), 2);
    EXPECT_TRUE(shows(shown, "Moon"));
    EXPECT_TRUE(shows(shown, "Ion Tug"));
    EXPECT_TRUE(shows(shown, "250000.000 N"));
    EXPECT_TRUE(shows(shown, "3500.00 N*s/kg"));
    EXPECT_EQ(tug().thrusters[0]->max0, 125000.0);
    EXPECT_EQ(tug().thrusters[1]->max0, 125000.0);
    EXPECT_EQ(tug().thrusters[0]->isp, 3500.0);
    EXPECT_EQ(simhost::saveScenarioText(), saved);
}

TEST_F(DisplayFlight, TheStatusBlockOverridesTheThrustersOfTheFile) {
    std::string text = kScenario;
    text.replace(text.find("MOT 4"), 5, "MOT 10");
    text.replace(text.find("ISP 30000"), 9, "ISP 25000");
    load(text);
    EXPECT_EQ(tug().thrusters[0]->max0, 5.0);
    EXPECT_EQ(tug().thrusters[1]->max0, 5.0);
    EXPECT_EQ(tug().thrusters[1]->isp, 25000.0);
    // The other vessel's name and thrusters are untouched.
    EXPECT_TRUE(w().findVessel("Beacon")->thrusters.empty());
}

TEST_F(DisplayFlight, UnloadingTheModuleClosesItsDisplays) {
    load(kScenario);
    display->pressKey(kB);  // a box whose callback is the module's code
    w().modules().unloadAll();
    EXPECT_EQ(w().cockpit().findMode("ZOLKMFD"), nullptr);
    EXPECT_TRUE(w().cockpit().displays().empty());
    EXPECT_EQ(w().cockpit().inputBoxCount(), 0u);
}

}  // namespace
