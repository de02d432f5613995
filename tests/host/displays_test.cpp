// The host's displays and input boxes: how a display object is asked for and
// what the host does with displays and boxes when modes or modules go away.
#include <gtest/gtest.h>

#include "tests/support/world_fixture.h"

namespace {

// A display object that reports its size and character cell.
struct ProbeMfd : MFD {
    ProbeMfd(DWORD w, DWORD h, VESSEL* v) : MFD(w, h, v), cellAtConstruction{cw, ch} { ++alive; }
    ~ProbeMfd() override { --alive; }
    void Update(HDC) override {}
    DWORD cellWidth() const { return cw; }
    DWORD cellHeight() const { return ch; }
    DWORD width() const { return W; }
    DWORD height() const { return H; }
    VESSEL* vessel() const { return pV; }
    const DWORD cellAtConstruction[2];
    static inline int alive = 0;
};

OAPI_MSGTYPE probeProc(UINT msg, UINT, WPARAM wparam, LPARAM lparam) {
    if (msg != OAPI_MSG_MFD_OPENED) return 0;
    return reinterpret_cast<OAPI_MSGTYPE>(static_cast<MFD*>(new ProbeMfd(
        static_cast<DWORD>(wparam & 0xFFFF), static_cast<DWORD>(wparam >> 16), reinterpret_cast<VESSEL*>(lparam))));
}

OAPI_MSGTYPE refusingProc(UINT, UINT, WPARAM, LPARAM) { return 0; }

// Records every message it gets, with what wparam carries, and answers only
// the one message given in `answered`.
struct OpenMessage {
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
    MFDMODEOPENSPEC openSpec;  // what wparam points to, for OPENEDEX
    MFDMODESPECEX modeSpec;    // and what that points to
};
std::vector<OpenMessage> openMessages;
UINT answered = 0;

OAPI_MSGTYPE recordingProc(UINT msg, UINT, WPARAM wparam, LPARAM lparam) {
    OpenMessage m{msg, wparam, lparam, {}, {}};
    DWORD w = static_cast<DWORD>(wparam & 0xFFFF), h = static_cast<DWORD>(wparam >> 16);
    if (msg == OAPI_MSG_MFD_OPENEDEX) {
        m.openSpec = *reinterpret_cast<const MFDMODEOPENSPEC*>(wparam);
        m.modeSpec = *m.openSpec.spec;
        w = static_cast<DWORD>(m.openSpec.w);
        h = static_cast<DWORD>(m.openSpec.h);
    }
    openMessages.push_back(m);
    if (msg != answered) return 0;
    return reinterpret_cast<OAPI_MSGTYPE>(static_cast<MFD*>(new ProbeMfd(w, h, reinterpret_cast<VESSEL*>(lparam))));
}

class Cockpit : public WorldTest {
protected:
    simhost::Cockpit& cockpit() { return w().cockpit(); }
    int registerProbe(const char* name) {
        MFDMODESPEC mode = modeSpec(name, 0x10, probeProc);
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

    MFDMODESPEC refusing = modeSpec("Refusing", 0x11, refusingProc);
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

TEST_F(Cockpit, ADisplayIsAskedForWithOpenedExFirstAndOpenedOnlyWhenThatGivesNone) {
    registerProbe("Probe");
    MFDMODESPEC recording = modeSpec("Recording", 0x12, recordingProc);
    oapiRegisterMFDMode(recording);
    simhost::Vessel* focus = w().addVessel("Focus");
    w().setFocus(focus);
    const auto lparam = reinterpret_cast<LPARAM>(&focus->vesselInterface());

    // Answered at once: one message, 4, wparam pointing to the size and the mode.
    openMessages.clear();
    answered = OAPI_MSG_MFD_OPENEDEX;
    simhost::Display* display = cockpit().openDisplay("Left", "Recording", 540, 384);
    ASSERT_NE(display, nullptr);
    ASSERT_EQ(openMessages.size(), 1u);
    const OpenMessage ex = openMessages[0];
    EXPECT_EQ(ex.msg, 4u);
    EXPECT_EQ(ex.lparam, lparam);
    EXPECT_EQ(ex.openSpec.w, 540);
    EXPECT_EQ(ex.openSpec.h, 384);
    EXPECT_STREQ(ex.modeSpec.name, "Recording");
    EXPECT_EQ(ex.modeSpec.key, 0x12u);
    EXPECT_EQ(ex.modeSpec.context, nullptr);
    EXPECT_EQ(ex.modeSpec.msgproc, &recordingProc);
    EXPECT_EQ(probe(*display).width(), 540u);
    // The cell is given after the constructor has returned.
    EXPECT_EQ(probe(*display).cellAtConstruction[0], 0u);
    EXPECT_EQ(probe(*display).cellAtConstruction[1], 0u);
    EXPECT_EQ(probe(*display).cellWidth(), 15u);
    EXPECT_EQ(probe(*display).cellHeight(), 16u);

    // Answered only to 1: then 1 follows 4, the size packed into wparam.
    openMessages.clear();
    answered = OAPI_MSG_MFD_OPENED;
    display = cockpit().openDisplay("Right", "Recording", 400, 200);
    ASSERT_NE(display, nullptr);
    ASSERT_EQ(openMessages.size(), 2u);
    EXPECT_EQ(openMessages[0].msg, 4u);
    EXPECT_EQ(openMessages[1].msg, 1u);
    EXPECT_EQ(openMessages[1].wparam, (WPARAM{200} << 16) | 400);
    EXPECT_EQ(openMessages[1].lparam, lparam);
    EXPECT_EQ(probe(*display).height(), 200u);

    // Answered to neither: no display object.
    openMessages.clear();
    answered = 0;
    EXPECT_EQ(cockpit().openDisplay("Right", "Recording"), nullptr);
    EXPECT_EQ(openMessages.size(), 2u);
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
