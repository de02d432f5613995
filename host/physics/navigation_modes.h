// How the navigation modes hold a vessel's attitude in this host.
//
// Once a step, before the vessel moves:
//  - KILLROT sets the angular velocity to zero.
//  - PROGRADE / RETROGRADE turn the vessel's +z axis along / against its
//    velocity relative to the dominant body (the strongest pull at the
//    vessel); NORMAL / ANTINORMAL along / against r x v relative to it. The
//    turn is the smallest one (roll about +z is kept; from exactly opposite,
//    a half turn about the vessel's x axis), made at once, and the angular
//    velocity is set to zero. When several of these are on, the highest-
//    numbered wins (ANTINORMAL over NORMAL over RETROGRADE over PROGRADE).
//    Without a direction to point at (no bodies, zero relative velocity, or
//    r parallel to v for the normal modes) the attitude is just held.
//  - HLEVEL and HOLDALT are accepted but do nothing here.
// Unless a pointing mode acted, the attitude turns with the angular velocity.
#pragma once

#include "host/physics/gravity.h"
#include "host/world/vessel.h"

namespace simhost {

// Applies the vessel's navigation modes, or its spin over dt seconds, with the
// bodies where they are at the start of the step.
void updateAttitude(Vessel& vessel, double dt, const BodySnapshot& bodies);

}  // namespace simhost
