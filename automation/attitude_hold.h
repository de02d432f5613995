// Attitude hold: on every step the vessel is set to the attitude it had, relative
// to its orbit-aligned frame (x away from the reference body, y opposite to the
// orbit normal r x v, z along the motion), when the hold took its reference.
#pragma once

#include "frame/host_compat.h"

// The angles (alpha, beta, gamma) in rad for SetGlobalOrientation that turn the
// vessel's local x, y and z axes onto the global directions a1, a2 and a3.
VECTOR3 eulerFromAxes(const VECTOR3& a1, const VECTOR3& a2, const VECTOR3& a3);

// One step of the hold on the vessel named vesselName relative to refBody.
void updateAttitudeHold();
