// The random soak: a world of several vessels and bodies flown with the module
// loaded and the page open on two displays, while a random pilot presses keys
// and buttons, types plain and hostile text into the boxes, closes and opens
// displays, saves and reloads the scene and changes the step size. After every
// step the invariants are checked; the first broken one ends the soak with the
// seed and step that replay it.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace soak {

struct SoakOptions {
    std::uint64_t steps = 1000000;
    std::uint64_t seed = 1;
    std::string modulePath;  // the probe module: the module plus access to its record
};

struct SoakFigures {
    std::uint64_t steps = 0, actions = 0, entries = 0, reloads = 0, redraws = 0;
};

// 0 when every invariant held; 1 after printing the broken one to err.
int runSoak(const SoakOptions& options, std::ostream& err, SoakFigures& figures);

}  // namespace soak
