#include "automation/attitude_hold.h"

#include <algorithm>
#include <cmath>

#include "frame/controlled_vessel.h"
#include "frame/plugin_state.h"

namespace {

// A few units in the last place below pi/2 on purpose: the pilot-visible roll
// angle of an unrotated vessel is -1.55e-15 rad, not 0.
constexpr double kQuarterTurn = 1.570796326794895;
constexpr int kLastNavmode = NAVMODE_HOLDALT;

const VECTOR3 kUnitX = vec3(1.0, 0.0, 0.0);
const VECTOR3 kUnitY = vec3(0.0, 1.0, 0.0);
const VECTOR3 kUnitZ = vec3(0.0, 0.0, 1.0);

bool isFinite(const VECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Takes the hold's reference: the vessel's axes at the start of the step,
// expressed in the orbit-aligned frame that the vessel now has, minus the
// matching unit axes. Working on points one metre from the vessel's position
// keeps the host's point transforms usable; the position cancels out.
void captureHeldAttitude(const VESSEL& vessel, const VECTOR3& position) {
    PluginState& s = pluginState;
    s.holdAxisDiffX = s.holdStartPointX - s.holdFramePointX;
    s.holdAxisDiffY = s.holdStartPointY - s.holdFramePointY;
    s.holdAxisDiffZ = s.holdStartPointZ - s.holdFramePointZ;
    vessel.Global2Local(s.holdAxisDiffX + position, s.holdLocalOffsetX);
    vessel.Global2Local(s.holdAxisDiffY + position, s.holdLocalOffsetY);
    vessel.Global2Local(s.holdAxisDiffZ + position, s.holdLocalOffsetZ);
    s.holdFrameCaptured = 1;
}

}  // namespace

VECTOR3 eulerFromAxes(const VECTOR3& a1, const VECTOR3& a2, const VECTOR3& a3) {
    const double alpha = std::atan2(a3.y, a3.z);
    // Rounding can push a unit component just past 1; NaN passes through unchanged.
    const double beta = -std::asin(std::clamp(a3.x, -1.0, 1.0));
    const double gamma = kQuarterTurn - std::atan2(a1.x, a2.x);
    return vec3(alpha, beta, gamma);
}

void updateAttitudeHold() {
    VESSEL* vessel = controlledVessel();
    if (!vessel) return;
    PluginState& s = pluginState;

    // The host's own autopilots would fight the hold: keep them all off.
    for (int mode = NAVMODE_KILLROT; mode <= kLastNavmode; ++mode) vessel->DeactivateNavmode(mode);

    vessel->Local2Global(kUnitX, s.holdStartPointX);
    vessel->Local2Global(kUnitY, s.holdStartPointY);
    vessel->Local2Global(kUnitZ, s.holdStartPointZ);

    VECTOR3 r, p, v;  // position and velocity relative to the body (m, m/s), global position (m)
    vessel->GetRelativePos(s.refBody, r);
    vessel->GetGlobalPos(p);
    vessel->GetRelativeVel(s.refBody, v);

    const VECTOR3 forward = unitVector(v);
    const VECTOR3 side = unitVector(crossp(forward, unitVector(r)));
    const VECTOR3 up = crossp(side, forward);
    // No motion, no distance, or motion straight along r: the orbit-aligned frame
    // has no direction, so the attitude is left as it is this step.
    if (!isFinite(forward) || !isFinite(side) || !isFinite(up)) return;

    vessel->SetGlobalOrientation(eulerFromAxes(up, side, forward));
    vessel->SetAngularVel(vec3(0.0, 0.0, 0.0));

    vessel->Local2Global(kUnitX, s.holdFramePointX);
    vessel->Local2Global(kUnitY, s.holdFramePointY);
    vessel->Local2Global(kUnitZ, s.holdFramePointZ);

    if (s.holdFrameCaptured == 0) captureHeldAttitude(*vessel, p);

    vessel->GlobalRot(s.holdLocalOffsetX + kUnitX, s.holdTargetAxisX);
    vessel->GlobalRot(s.holdLocalOffsetY + kUnitY, s.holdTargetAxisY);
    vessel->GlobalRot(s.holdLocalOffsetZ + kUnitZ, s.holdTargetAxisZ);
    vessel->SetGlobalOrientation(eulerFromAxes(s.holdTargetAxisX, s.holdTargetAxisY, s.holdTargetAxisZ));
}
