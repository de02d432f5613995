// The host's displays and input boxes: how a display object is asked for and
// what the host does with displays and boxes when modes or modules go away.
#include <gtest/gtest.h>

#include "tests/support/world_fixture.h"

namespace {

// A display object that reports its size and character cell.
struct ProbeMfd : MFD {
    ProbeMfd(DWORD w, DWORD h, VESSEL* v) : MFD(w, h, v) { ++alive; }
    ~ProbeMfd() override { --alive; }
    void Update(HDC) override {}
    DWORD cellWidth() const { return charWidth; }
    DWORD cellHeight() const { return charHeight; }
    DWORD width() const { return W; }
    DWORD height() const { return H; }
    VESSEL* vessel() const { return pV; }
    static inline int alive = 0;
};

OAPI_MSGTYPE probeProc(UINT msg, UINT, WPARAM wparam, LPARAM lparam) {
    if (msg != OAPI_MSG_MFD_OPENED) return 0;
    return reinterpret_cast<OAPI_MSGTYPE>(static_cast<MFD*>(new ProbeMfd(
        static_cast<DWORD>(wparam & 0xFFFF), static_cast<DWORD>(wparam >> 16), reinterpret_cast<VESSEL*>(lparam))));
}

OAPI_MSGTYPE refusingProc(UINT, UINT, WPARAM, LPARAM) { return 0; }

class Cockpit : public WorldTest {
protected:
    simhost::Cockpit& cockpit() { return w().cockpit(); }
    int registerProbe(const char* name) {
        MFDMODESPEC mode{name, 0x10, probeProc};
        return oapiRegisterMFDMode(mode);
    }
    static const ProbeMfd& probe(const simhost::Display& d) { return *static_cast<const ProbeMfd*>(d.object()); }
};

TEST_F(Cockpit, DisplaysGetTheirPackedSizeCellAndTheFocusVessel) {
    registerProbe("Probe");
    simhost::Vessel* focus = w().addVessel("Focus");
    w().setFocus(focus);
    simhost::Display* left = cockpit().openDisplay("Left", "probe", 540, 384);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(probe(*left).width(), 540u);
    EXPECT_EQ(probe(*left).height(), 384u);
    EXPECT_EQ(probe(*left).cellWidth(), 15u);
    EXPECT_EQ(probe(*left).cellHeight(), 16u);
    EXPECT_EQ(probe(*left).vessel(), &focus->vesselInterface());

    simhost::Display* tiny = cockpit().openDisplay("Tiny", "Probe", 10, 10);
    EXPECT_EQ(probe(*tiny).cellWidth(), 1u);  // never a zero cell
    EXPECT_EQ(ProbeMfd::alive, 2);

    MFDMODESPEC refusing{"Refusing", 0x11, refusingProc};
    oapiRegisterMFDMode(refusing);
    EXPECT_EQ(cockpit().openDisplay("Left", "Refusing"), nullptr);  // the old object is gone too
    EXPECT_EQ(cockpit().openDisplay("Left", "Unknown"), nullptr);
    EXPECT_EQ(ProbeMfd::alive, 1);
}

TEST_F(Cockpit, ModesAndModulesTakeTheirDisplaysWithThem) {
    const int first = registerProbe("First");
    const int second = registerProbe("Second");
    EXPECT_NE(first, second);
    cockpit().openDisplay("Left", "First");
    cockpit().openDisplay("Right", "Second");
    EXPECT_TRUE(oapiUnregisterMFDMode(first));
    EXPECT_FALSE(oapiUnregisterMFDMode(first));
    EXPECT_EQ(cockpit().display("Left")->object(), nullptr);
    EXPECT_NE(cockpit().display("Right")->object(), nullptr);
    w().reset();
    EXPECT_EQ(ProbeMfd::alive, 0);
    EXPECT_TRUE(cockpit().modes().empty());
}

bool refuseShort(void*, char* text, void* count) {
    ++*static_cast<int*>(count);
    return std::string(text).size() >= 3;
}

bool openAnother(void*, char*, void* count) {
    oapiOpenInputBox("Second", refuseShort, nullptr, 20, count);
    return true;
}

TEST_F(Cockpit, InputBoxesStayOpenUntilAnAnswerIsAccepted) {
    int calls = 0;
    EXPECT_EQ(cockpit().answerInputBox("x"), simhost::InputBoxAnswer::NoBox);
    oapiOpenInputBox("First", openAnother, nullptr, 20, &calls);
    // The answered box closes; the one its callback opened stays.
    EXPECT_EQ(cockpit().answerInputBox("go"), simhost::InputBoxAnswer::Accepted);
    ASSERT_EQ(cockpit().inputBoxCount(), 1u);
    EXPECT_EQ(cockpit().currentInputBox()->title, "Second");
    EXPECT_EQ(cockpit().answerInputBox("no"), simhost::InputBoxAnswer::Refused);
    EXPECT_EQ(cockpit().answerInputBox("yes"), simhost::InputBoxAnswer::Accepted);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(cockpit().inputBoxCount(), 0u);
    EXPECT_FALSE(cockpit().cancelInputBox());
}

}  // namespace
