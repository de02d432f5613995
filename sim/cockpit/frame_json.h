// A frame of the cockpit as JSON: the displays' pages, the open input box,
// time, the orbit view and, when the history kept one, a chart sample. Made on
// the simulation thread, read by the browser's cockpit.js.
#pragma once

#include <string>

#include "host/world/world.h"
#include "sim/cockpit/page_subject.h"

namespace zolksim::cockpit {

struct ClockState {
    bool running = false;
    double warp = 1.0;
    double stepsPerSecond = 0.0;  // simulated steps per wall second, lately
    bool behind = false;          // the simulation cannot keep pace with the warp
};

// One chart point: simulated s, periapsis and apoapsis altitude (m; apoapsis
// null on an open orbit) and propellant left (kg).
std::string chartSample(simhost::Vessel& vessel, const simhost::Body& body, double time);

// "2024-12-07 13:45:00" for a modified Julian date.
std::string dateText(double mjd);

// Draws every open display afresh and describes the world, the orbit view
// being the subject's (null when the world lacks its vessel or body). sample
// is a chartSample of the subject or empty; saved the last save's name.
std::string frameJson(simhost::World& world, const ClockState& clock, const PageSubject& subject,
                      const std::string& sample, const std::string& saved);

}  // namespace zolksim::cockpit
