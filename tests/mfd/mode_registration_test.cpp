// Registering the mode, creating display objects through the message
// procedure, the defaults a first display fills in, and what closing keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "tests/support/display_test.h"

namespace {

class ModeRegistration : public DisplayTest {};

TEST_F(ModeRegistration, RegistersTheModeAndHandsItsIdentifierBack) {
    const simhost::MfdMode* mode = w().cockpit().findMode("ZOLKMFD");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->name, "ZOLKMFD");
    EXPECT_EQ(mode->key, 0x19u);
    EXPECT_EQ(mode->msgproc, &ModeMsgProc);
    EXPECT_EQ(pluginState.modeId, mode->id);

    // The instance handle plays no part: a made-up one unregisters the same mode.
    const int id = pluginState.modeId;
    startTrace();
    EXPECT_TRUE(ExitModule(reinterpret_cast<HINSTANCE>(0x1234)));
    EXPECT_EQ(simhost::traceEntries(), std::vector<std::string>{"oapiUnregisterMFDMode(" + std::to_string(id) + ")"});
    EXPECT_EQ(w().cockpit().findMode("ZOLKMFD"), nullptr);
    // A second exit hands the same identifier back; the host no longer knows it.
    EXPECT_FALSE(ExitModule(nullptr));
}

TEST_F(ModeRegistration, MessageOneCreatesAnObjectOfThePackedSize) {
    const WPARAM size = (WPARAM{200} << 16) | 400;
    const OAPI_MSGTYPE result = ModeMsgProc(OAPI_MSG_MFD_OPENED, 0, size, 0);
    ASSERT_NE(result, 0);
    // The whole pointer comes back: result and parameters are pointer-sized.
    static_assert(std::is_same_v<decltype(&ModeMsgProc), MFD_MSGPROC>);
    static_assert(sizeof(OAPI_MSGTYPE) == sizeof(void*) && sizeof(WPARAM) == sizeof(void*) &&
                  sizeof(LPARAM) == sizeof(void*));
    auto* display = reinterpret_cast<ZolkMFD*>(result);
    EXPECT_EQ(display->width(), 400u);
    EXPECT_EQ(display->height(), 200u);
    delete static_cast<MFD*>(display);

    for (UINT msg : {0u, 2u, 3u, 4u, 0xFFFFFFFFu}) EXPECT_EQ(ModeMsgProc(msg, 0, size, 0), 0) << msg;
}

TEST_F(ModeRegistration, AFirstDisplayFillsTheDefaultNamesAndLaterOnesKeepThem) {
    const std::string longName(200, 'x');  // longer than the 30 characters the focus copy once allowed
    simhost::Vessel& first = addEngineVessel(longName.c_str(), 2, 100.0, 3000.0);
    addEngineVessel("Other", 1, 7.0, 500.0);
    w().setFocus(&first);

    open("Left");
    EXPECT_STREQ(pluginState.refName, "Sun");
    EXPECT_EQ(std::string(pluginState.vesselName), longName);
    EXPECT_DOUBLE_EQ(pluginState.totalThrust, 200.0);
    EXPECT_DOUBLE_EQ(pluginState.mainIsp, 3000.0);

    // A new focus and a second display leave the names alone.
    w().setFocus(w().findVessel("Other"));
    std::strcpy(pluginState.refName, "Earth");
    open("Right");
    EXPECT_STREQ(pluginState.refName, "Earth");
    EXPECT_EQ(std::string(pluginState.vesselName), longName);
}

TEST_F(ModeRegistration, EveryConstructionRereadsThrustThenIsp) {
    simhost::Vessel& vessel = addEngineVessel("Tug", 2, 3.0, 30000.0);
    w().setFocus(&vessel);
    open("Left");
    vessel.thrusters[0]->max0 = 5.0;
    vessel.thrusters[1]->isp = 20000.0;

    startTrace();
    open("Right");
    EXPECT_DOUBLE_EQ(pluginState.totalThrust, 8.0);
    EXPECT_DOUBLE_EQ(pluginState.mainIsp, 25000.0);
    const std::vector<std::string> calls = tracedCalls();
    std::size_t lastThrust = 0, firstIsp = calls.size();
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == "GetThrusterMax0") lastThrust = i;
        if (calls[i] == "GetThrusterIsp" && firstIsp == calls.size()) firstIsp = i;
    }
    EXPECT_LT(lastThrust, firstIsp);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "oapiGetFocusObject"), 0);
}

TEST_F(ModeRegistration, ClosingADisplayLosesNothing) {
    simhost::Vessel& vessel = addEngineVessel("Tug", 2, 3.0, 30000.0);
    w().setFocus(&vessel);
    simhost::Display& display = open("Left");
    display.pressKey(0x1E);
    display.pressKey(0x25);
    pluginState.maxAccPerDay = 12.5;
    const RecordBytes before = recordBytes();

    ASSERT_TRUE(w().cockpit().closeDisplay("Left"));
    EXPECT_EQ(recordBytes(), before);

    simhost::Display& again = open("Left");
    const std::vector<std::string> shown = texts(again.redraw());
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "On"), 2);
}

TEST_F(ModeRegistration, WithoutAnyDisplayTheNamesStayEmpty) {
    EXPECT_STREQ(pluginState.refName, "");
    EXPECT_STREQ(pluginState.vesselName, "");
}

}  // namespace
