// `zolksim solve`: the value of one parameter at which a goal is just met by a
// deadline: the least thrust, ISP or propellant, the most dry mass, the
// latest start (docs/solve.md).
#pragma once

#include <ostream>

#include "sim/run/run.h"

namespace zolksim {

// argv[1] is "solve". Exit status 0 with an answer, 1 when none was found (the
// range holds no boundary, a flight failed), 2 for bad input, CLI11's own for a
// bad command line.
int runSolve(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zolksim
