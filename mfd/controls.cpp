// Keys, buttons and the button menu of the display.
#include "mfd/controls.h"

#include "engine/engine_entry.h"
#include "frame/plugin_state.h"
#include "mfd/name_entry.h"
#include "mfd/zolk_mfd.h"

char ButtonLabels[kButtonCount][4] = {"ATT", "REF", "VES", "ENG", "ISP", "ABP"};

const DWORD ButtonKeys[kButtonCount] = {kKeyAttitudeHold, kKeyReferenceBody, kKeyVessel,
                                        kKeyThrust,       kKeyIsp,           kKeyAutoBurn};

const MFDBUTTONMENU ButtonMenuEntries[kButtonCount] = {
    {"Attitude Hold On/Off", nullptr, 'A'},
    {"Select Ref.", nullptr, 'V'},
    {"Select Vessel", nullptr, 'B'},
    {"Set Thrust", nullptr, 'N'},
    {"Set ISP", nullptr, 'M'},
    {"Auto Burn Periapsis", nullptr, 'K'},
};

namespace {

// Switches move only between 0 and 1; any other value (from a scenario) stays.
void toggle(std::int32_t& flag) {
    if (flag == 0)
        flag = 1;
    else if (flag == 1)
        flag = 0;
}

// The boxes' titles. The host takes them as char* and only reads them.
char refBodyTitle[] = "Enter Reference Planet";
char vesselTitle[] = "Enter Vessel Name";
char thrustTitle[] = "Enter Main.Eng.Max Thrust Total(N)";
char ispTitle[] = "Enter Fuel ISP (N^s/kg)";

}  // namespace

bool ZolkMFD::ConsumeKeyBuffered(DWORD key) {
    switch (key) {
        case kKeyAttitudeHold:
            toggle(pluginState.attitudeHold);
            // The hold takes a fresh reference attitude when it next runs.
            if (pluginState.holdFrameCaptured == 1) pluginState.holdFrameCaptured = 0;
            InvalidateDisplay();
            return true;
        case kKeyAutoBurn:
            toggle(pluginState.autoBurn);
            InvalidateDisplay();
            return true;
        case kKeyReferenceBody:
            oapiOpenInputBox(refBodyTitle, onRefBodyEntered, nullptr, kInputBoxLength, this);
            return true;
        case kKeyVessel:
            oapiOpenInputBox(vesselTitle, onVesselEntered, nullptr, kInputBoxLength, this);
            return true;
        case kKeyThrust:
            oapiOpenInputBox(thrustTitle, onThrustEntered, nullptr, kInputBoxLength, nullptr);
            return true;
        case kKeyIsp:
            oapiOpenInputBox(ispTitle, onIspEntered, nullptr, kInputBoxLength, nullptr);
            return true;
        default:
            return false;
    }
}

bool ZolkMFD::ConsumeButton(int bt, int event) {
    if ((event & PANEL_MOUSE_LBDOWN) == 0) return false;
    if (bt < 0 || bt >= kButtonCount) return false;
    return ConsumeKeyBuffered(ButtonKeys[bt]);
}

char* ZolkMFD::ButtonLabel(int bt) { return bt >= 0 && bt < kButtonCount ? ButtonLabels[bt] : nullptr; }

int ZolkMFD::ButtonMenu(const MFDBUTTONMENU** menu) const {
    if (menu) *menu = ButtonMenuEntries;
    return kButtonCount;
}
