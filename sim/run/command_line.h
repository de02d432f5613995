// The zolksim command line.
#pragma once

#include <ostream>

#include "sim/run/options.h"

namespace zolksim {

extern const char* const kVersionText;

// Reads argv; help and version go to out, mistakes to err.
ParsedCommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zolksim
