// zolksim --serve: the live cockpit, until Ctrl+C.
#pragma once

#include <ostream>

#include "sim/run/options.h"

namespace zolksim {

// Serves the cockpit for the options' scenario and prints its address; on
// SIGINT or SIGTERM stops serving and flying and returns 0. 1 when it cannot
// start, 2 for a bad scenario.
int serveCockpit(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zolksim
