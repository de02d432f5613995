// What a real flight disperses, put into a case's world after its values and
// before it flies: engine errors, a tilted thrust direction, a later start,
// and errors in the starting state.
#pragma once

#include <string>

#include "host/world/body.h"
#include "host/world/vessel.h"

namespace zolksim {

struct FlightDispersion {
    double thrustFactor = 1.0;    // times every main engine's thrust
    double ispFactor = 1.0;       // times every main engine's ISP
    double tiltRad = 0.0;         // the main engines' thrust direction tilted by this angle (rad)...
    double tiltAzimuthRad = 0.0;  // ...towards this direction about the nose, from the vessel's +x (rad)
    double startDelayDays = 0.0;  // the flight starts this much later, from the same state relative to the body
    // Starting-state errors in the orbit frame: radial out, along-track
    // (forward, in the orbit plane), cross-track (the orbit normal), m and m/s.
    double radialM = 0.0, alongM = 0.0, crossM = 0.0;
    double radialMps = 0.0, alongMps = 0.0, crossMps = 0.0;
};

// False with the reason in error (a vessel with no main engines to change, a
// factor that is not above zero).
bool applyDispersion(const FlightDispersion& d, simhost::Vessel& vessel, const simhost::Body& body,
                     std::string& error);

}  // namespace zolksim
