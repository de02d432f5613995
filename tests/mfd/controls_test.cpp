// Keys, buttons, labels, the button menu and the two name boxes.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/engine_entry.h"
#include "mfd/controls.h"
#include "mfd/name_entry.h"
#include "tests/support/display_test.h"

namespace {

constexpr DWORD kA = 0x1E, kK = 0x25, kV = 0x2F, kB = 0x30, kN = 0x31, kM = 0x32;

class Controls : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        tug = &addEngineVessel("Tug", 2, 100.0, 3000.0);
        addEngineVessel("Space Station", 4, 25.0, 4000.0);
        w().setFocus(tug);
        display = &open();
        display->redraw();  // clears the redraw request of opening
    }

    simhost::Cockpit& cockpit() { return w().cockpit(); }

    simhost::Vessel* tug = nullptr;
    simhost::Display* display = nullptr;
};

TEST_F(Controls, SwitchKeysToggleOnlyBetweenZeroAndOne) {
    struct Case {
        int hold, captured;
        int holdAfter, capturedAfter;
    };
    for (const Case c : {Case{0, 1, 1, 0}, Case{1, 1, 0, 0}, Case{1, 0, 0, 0}, Case{2, 1, 2, 0}, Case{-5, 0, -5, 0}}) {
        pluginState.attitudeHold = c.hold;
        pluginState.holdFrameCaptured = c.captured;
        display->redraw();
        EXPECT_TRUE(display->pressKey(kA));
        EXPECT_EQ(pluginState.attitudeHold, c.holdAfter) << c.hold;
        EXPECT_EQ(pluginState.holdFrameCaptured, c.capturedAfter) << c.hold;
        EXPECT_TRUE(display->redrawRequested());
    }

    pluginState.autoBurn = 0;
    const int holdBefore = pluginState.attitudeHold;
    for (int expected : {1, 0}) {
        display->redraw();
        EXPECT_TRUE(display->pressKey(kK));
        EXPECT_EQ(pluginState.autoBurn, expected);
        EXPECT_TRUE(display->redrawRequested());
    }
    pluginState.autoBurn = 7;
    EXPECT_TRUE(display->pressKey(kK));
    EXPECT_EQ(pluginState.autoBurn, 7);
    EXPECT_EQ(pluginState.attitudeHold, holdBefore);
}

TEST_F(Controls, BoxKeysOpenTheirBoxesWithoutARedraw) {
    struct Case {
        DWORD key;
        const char* title;
        InputBoxCallback callback;
        bool carriesDisplay;
    };
    const Case cases[] = {
        {kV, "Enter Reference Planet", onRefBodyEntered, true},
        {kB, "Enter Vessel Name", onVesselEntered, true},
        {kN, "Enter Main.Eng.Max Thrust Total(N)", onThrustEntered, false},
        {kM, "Enter Fuel ISP (N^s/kg)", onIspEntered, false},
    };
    for (const Case& c : cases) {
        const RecordBytes before = recordBytes();
        EXPECT_TRUE(display->pressKey(c.key));
        const simhost::InputBox* box = cockpit().currentInputBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->title, c.title);
        EXPECT_EQ(box->callback, c.callback);
        EXPECT_EQ(box->initialText, "");
        EXPECT_EQ(box->initialTextGiven, nullptr) << "the box is opened with no initial text, not an empty one";
        EXPECT_EQ(box->length, 30);
        EXPECT_EQ(box->userData, c.carriesDisplay ? static_cast<void*>(display->object()) : nullptr);
        EXPECT_FALSE(display->redrawRequested());
        EXPECT_EQ(recordBytes(), before);
        cockpit().cancelInputBox();
    }

    const RecordBytes before = recordBytes();
    EXPECT_FALSE(display->pressKey(0x1F));
    EXPECT_FALSE(display->pressKey(0x19));
    EXPECT_EQ(recordBytes(), before);
    EXPECT_EQ(cockpit().inputBoxCount(), 0u);
}

TEST_F(Controls, ButtonsActAsTheirKeysOnlyWhenPressed) {
    pluginState.autoBurn = 0;
    EXPECT_TRUE(display->pressButton(5, 1));
    EXPECT_EQ(pluginState.autoBurn, 1);
    EXPECT_TRUE(display->pressButton(5, 3));  // pressed, with another bit set
    EXPECT_EQ(pluginState.autoBurn, 0);

    const RecordBytes before = recordBytes();
    EXPECT_FALSE(display->pressButton(5, 2));  // released, not pressed
    EXPECT_FALSE(display->pressButton(0, 0));
    EXPECT_FALSE(display->pressButton(6, 1));
    EXPECT_FALSE(display->pressButton(-1, 1));
    EXPECT_EQ(recordBytes(), before);

    EXPECT_TRUE(display->pressButton(3, 1));
    ASSERT_NE(cockpit().currentInputBox(), nullptr);
    EXPECT_EQ(cockpit().currentInputBox()->title, "Enter Main.Eng.Max Thrust Total(N)");
}

// A button does exactly what its key does. Each of the six, pressed
// alone, toggles or opens what its key does and nothing else.
TEST_F(Controls, EachOfTheSixButtonsDoesWhatItsKeyDoes) {
    const char* const boxTitles[] = {nullptr, "Enter Reference Planet", "Enter Vessel Name",
                                     "Enter Main.Eng.Max Thrust Total(N)", "Enter Fuel ISP (N^s/kg)", nullptr};
    for (int button = 0; button < 6; ++button) {
        SCOPED_TRACE(button);
        pluginState.attitudeHold = 0;
        pluginState.autoBurn = 0;
        display->redraw();
        EXPECT_TRUE(display->pressButton(button, 1));
        EXPECT_EQ(pluginState.attitudeHold, button == 0 ? 1 : 0);
        EXPECT_EQ(pluginState.autoBurn, button == 5 ? 1 : 0);
        EXPECT_EQ(display->redrawRequested(), button == 0 || button == 5);
        if (boxTitles[button]) {
            ASSERT_EQ(cockpit().inputBoxCount(), 1u);
            EXPECT_EQ(cockpit().currentInputBox()->title, boxTitles[button]);
            cockpit().cancelInputBox();
        } else {
            EXPECT_EQ(cockpit().inputBoxCount(), 0u);
        }
    }
}

TEST_F(Controls, LabelsAndMenuDescribeTheSixButtons) {
    const char* labels[] = {"ATT", "REF", "VES", "ENG", "ISP", "ABP"};
    const char* lines[] = {"Attitude Hold On/Off", "Select Ref.", "Select Vessel", "Set Thrust", "Set ISP", "Auto Burn Periapsis"};
    const char keys[] = {'A', 'V', 'B', 'N', 'M', 'K'};
    const MFDBUTTONMENU* menu = nullptr;
    ASSERT_EQ(display->buttonMenu(&menu), 6);
    ASSERT_NE(menu, nullptr);
    for (int i = 0; i < 6; ++i) {
        // The entries are packed as the host packs them: members are read by
        // value, as a reference to one may be misaligned.
        const char* line1 = menu[i].line1;
        const char* line2 = menu[i].line2;
        const char selchar = menu[i].selchar;
        EXPECT_STREQ(display->buttonLabel(i), labels[i]);
        EXPECT_STREQ(line1, lines[i]);
        EXPECT_EQ(line2, nullptr);
        EXPECT_EQ(selchar, keys[i]);
    }
    EXPECT_EQ(display->buttonLabel(6), nullptr);
    EXPECT_EQ(display->buttonLabel(-1), nullptr);
    EXPECT_EQ(display->buttonMenu(nullptr), 6);
}

TEST_F(Controls, ReferenceBodyEntries) {
    display->pressKey(kV);
    // Not a celestial body: refused, the box stays open, refBody is null until the next step.
    pluginState.refBody = oapiGetObjectByName("Sun");
    EXPECT_EQ(cockpit().answerInputBox("Tug"), simhost::InputBoxAnswer::Refused);
    EXPECT_STREQ(pluginState.refName, "Sun");
    EXPECT_EQ(pluginState.refBody, nullptr);
    EXPECT_EQ(cockpit().answerInputBox("Vulcan"), simhost::InputBoxAnswer::Refused);
    EXPECT_EQ(cockpit().inputBoxCount(), 1u);

    // Known, in any letter case: kept as typed.
    EXPECT_EQ(cockpit().answerInputBox("eaRTH"), simhost::InputBoxAnswer::Accepted);
    EXPECT_STREQ(pluginState.refName, "eaRTH");
    EXPECT_EQ(pluginState.refBody, oapiGetGbodyByName("Earth"));
    EXPECT_EQ(cockpit().inputBoxCount(), 0u);
    EXPECT_FALSE(display->redrawRequested());
}

TEST_F(Controls, VesselEntries) {
    pluginState.attitudeHold = 1;
    pluginState.holdFrameCaptured = 1;
    pluginState.autoBurn = 1;
    display->pressKey(kB);
    RecordBytes before = recordBytes();
    EXPECT_EQ(cockpit().answerInputBox("Nobody"), simhost::InputBoxAnswer::Refused);
    EXPECT_EQ(cockpit().answerInputBox("Earth"), simhost::InputBoxAnswer::Refused);  // a body, not a vessel
    EXPECT_EQ(recordBytes(), before);

    EXPECT_EQ(cockpit().answerInputBox("space station"), simhost::InputBoxAnswer::Accepted);
    EXPECT_STREQ(pluginState.vesselName, "space station");
    EXPECT_DOUBLE_EQ(pluginState.totalThrust, 100.0);
    EXPECT_DOUBLE_EQ(pluginState.mainIsp, 4000.0);
    EXPECT_EQ(pluginState.attitudeHold, 1);
    EXPECT_EQ(pluginState.holdFrameCaptured, 1);
    EXPECT_EQ(pluginState.autoBurn, 1);
}

TEST_F(Controls, NamesLongerThanTheFieldAreRefused) {
    const std::string longName(256, 'L');
    w().addVessel(longName);
    std::string fitting(255, 'F');
    addEngineVessel(fitting.c_str(), 1, 5.0, 100.0);
    pluginState.refBody = oapiGetGbodyByName("Sun");  // a refused entry must not clear it
    const RecordBytes before = recordBytes();
    std::vector<char> text(longName.begin(), longName.end());
    text.push_back('\0');
    EXPECT_FALSE(onVesselEntered(nullptr, text.data(), nullptr));
    EXPECT_FALSE(onRefBodyEntered(nullptr, text.data(), nullptr));
    EXPECT_FALSE(onRefBodyEntered(nullptr, nullptr, nullptr));
    EXPECT_EQ(recordBytes(), before);

    EXPECT_TRUE(selectVessel(fitting.data()));
    EXPECT_EQ(std::string(pluginState.vesselName), fitting);
}

TEST_F(Controls, AVesselBoxOutlivesTheDisplayThatOpenedIt) {
    display->pressKey(kB);
    ASSERT_TRUE(cockpit().closeDisplay("Left"));
    EXPECT_EQ(cockpit().answerInputBox("Space Station"), simhost::InputBoxAnswer::Accepted);
    EXPECT_STREQ(pluginState.vesselName, "Space Station");
}

}  // namespace
