#include "automation/attitude_hold.h"

#include <cmath>

#include "frame/arc_tangent.h"
#include "frame/controlled_vessel.h"
#include "frame/plugin_state.h"

namespace {

// A few units in the last place below pi/2 on purpose: the pilot-visible roll
// angle of an unrotated vessel is -1.55e-15 rad, not 0.
constexpr double kQuarterTurn = 1.570796326794895;
constexpr int kLastNavmode = NAVMODE_HOLDALT;

// Radial motion: |f x unit(r)| is the sine of the angle between the motion and
// the direction from the body. Below this (v within 1e-9 rad of +-r) the side
// axis would be the rounding noise of two unit vectors (about 1e-16) magnified,
// so the orbit-aligned frame counts as undefined and the step leaves the
// attitude alone. Any real orbit's sine is many orders above it.
constexpr double kMinSideLength = 1e-9;

// Near the angle convention's singularity (nose along global +-x, beta = -+pi/2)
// alpha and gamma are each undetermined and the prescribed formulas work on
// components that are rounding noise. Within this of 1 in |a3.x| (the nose
// within about 2.6 degrees of +-x) the roll is taken another way.
constexpr double kNearPoleTolerance = 1e-3;

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

// The roll near the singularity, where the prescribed formula would divide the
// small x components of a1 and a2 by each other. Undoing the first two
// rotations, Ry(beta)*Rx(alpha)*(a1 a2 a3) = Rz(-gamma), whose upper left block
// is (cos g, sin g; -sin g, cos g): gamma comes from the large components of a1
// and a2, both pairs averaged, so that length errors of a1 and a2 cancel.
double rollNearPole(const VECTOR3& a1, const VECTOR3& a2, double alpha, double beta) {
    const double sa = std::sin(alpha), ca = std::cos(alpha);
    const double sb = std::sin(beta), cb = std::cos(beta);
    // Ry(beta)*Rx(alpha) applied to a1 and a2: the x and y components of each.
    const double x1 = cb * a1.x + sb * (sa * a1.y + ca * a1.z), y1 = ca * a1.y - sa * a1.z;
    const double x2 = cb * a2.x + sb * (sa * a2.y + ca * a2.z), y2 = ca * a2.y - sa * a2.z;
    return std::atan2(x2 - y1, x1 + y2);
}

}  // namespace

VECTOR3 eulerFromAxes(const VECTOR3& a1, const VECTOR3& a2, const VECTOR3& a3) {
    // The target axes come from points far from the origin and are up to ~1e-5
    // off unit length. -asin(a3.x) would turn that into a pitch error magnified
    // by the cotangent of the nose's angle from +-x (22x at 2.6 degrees); atan2
    // of a3.x against the rest of a3 depends on a3's direction only, and keeps
    // its precision next to +-pi/2, where the arcsine loses it.
    // a3 is near unit length, so the sum of squares can neither overflow nor
    // underflow, and the plain square root is within an ulp of hypot's.
    //
    // The same axes are also tilted towards a3 by up to ~2e-5 rad; that tilt
    // would enter the roll divided by cos(beta) (22x at the zone's edge). The x
    // components of a1 and a2 are taken with their parts along a3 removed; for
    // perpendicular axes that changes them by rounding only.
    const double a3Squared = dotp(a3, a3);
    const double x1 = a1.x - dotp(a1, a3) / a3Squared * a3.x;
    const double x2 = a2.x - dotp(a2, a3) / a3Squared * a3.x;
    // The three arc tangents at once (the last lane unused); the roll's is
    // not needed near the pole, where rollNearPole takes its place.
    double angles[4];
    arcTangent2x4({a3.y, a3.x, x1, 0.0}, {a3.z, std::sqrt(a3.y * a3.y + a3.z * a3.z), x2, 1.0}, angles);
    const double alpha = angles[0], beta = -angles[1];
    if (std::fabs(a3.x) > 1.0 - kNearPoleTolerance) return vec3(alpha, beta, rollNearPole(a1, a2, alpha, beta));
    return vec3(alpha, beta, kQuarterTurn - angles[2]);
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
    const VECTOR3 across = crossp(forward, unitVector(r));
    // No motion, no distance, or motion along r (within kMinSideLength): the
    // orbit-aligned frame has no direction, so the attitude is left as it is
    // this step, and no capture is taken on it. NaN fails the comparison too.
    if (!(length(across) >= kMinSideLength)) return;
    const VECTOR3 side = unitVector(across);
    const VECTOR3 up = crossp(side, forward);
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
