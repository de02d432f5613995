// Which vessel and reference body the page works on, as its first open
// display shows them ("Vessel", "Reference Body"): the orbit view and the chart
// follow these, not the host's focus, so that they show what the page acts on.
#pragma once

#include <string>

#include "host/world/world.h"

namespace zolksim::cockpit {

struct PageSubject {
    std::string vesselName, bodyName;  // as the page shows them; empty with no display open
    simhost::Vessel* vessel = nullptr;  // null when the world has no vessel of that name
    const simhost::Body* body = nullptr;
    // "Ion Tug about Earth": what the chart's samples are of; empty with no display open.
    std::string label() const { return vesselName.empty() ? std::string{} : vesselName + " about " + bodyName; }
};

PageSubject pageSubject(simhost::World& world);

}  // namespace zolksim::cockpit
