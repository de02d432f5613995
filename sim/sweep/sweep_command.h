// `zolksim sweep STUDY.toml`: a trade study's cases flown on worker processes
// of this machine, or listed as command lines for other engines to run a case
// or a range of them each (--list, --case N or A-B), their rows merged
// afterwards (--collect DIR).
#pragma once

#include <ostream>

#include "sim/run/run.h"

namespace zolksim {

// argv[0] is the program as started, argv[1] "sweep". Exit status 0 when every
// case has its row, 1 when some could not be flown or written, 2 for a bad
// command line, study or case number; --case gives 3 for a case that cannot be
// flown as the study gives it (flying it again will not help).
int runSweep(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Terminal terminal);

}  // namespace zolksim
