#include "automation/auto_burn.h"

#include <limits>

#include "frame/controlled_vessel.h"
#include "frame/plugin_state.h"

double burnLevel(double ratio) {
    if (ratio < burnWindowLow) return 1.0;
    if (ratio > burnWindowHigh) return 1.0;
    return 0.0;
}

void updateAutoBurn() {
    VESSEL* vessel = controlledVessel();
    if (!vessel) return;
    ELEMENTS elements{};
    ORBITPARAM orbit{};
    // Without an orbit (the host refused the reference) nobody knows where
    // periapsis is: a NaN ratio shuts the engines down rather than reading an
    // unfilled record.
    double ratio = std::numeric_limits<double>::quiet_NaN();
    if (vessel->GetElements(pluginState.refBody, elements, &orbit, 0.0, FRAME_ECL)) ratio = orbit.PeT / orbit.T;
    vessel->SetThrusterGroupLevel(THGROUP_MAIN, burnLevel(ratio));
}
