// A study's cases checked against its base scenario when the study is read, so
// that a case that cannot be flown refuses the study before any case flies.
#pragma once

#include <string>

#include "sim/sweep/study.h"

namespace zolksim {

// Loads the study's scenario into the world (leaving the world empty after)
// and checks every case: main engines where thrust or ISP is varied, the
// propellant within the tanks' capacity, the periapsis not above the apoapsis
// (the one not varied taken from the scenario's orbit), a step count within
// bounds. Empty when every case can be flown; else what cannot, naming the
// first such case and its values.
std::string checkStudyCases(const Study& study);

}  // namespace zolksim
