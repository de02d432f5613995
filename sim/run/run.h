// zolksim's whole run: read the command line, load the module and the
// scenario, fly with the pilot's script, then show and write the results.
#pragma once

#include <ostream>

namespace zolksim {

// What the output streams are: colour and the progress bar only on terminals.
struct Terminal {
    bool colour = false;    // out shows ANSI colour
    bool progress = false;  // the progress bar may be drawn on stderr
};

// A run with a goal (--until) that reached its limit without meeting it; its
// files are written all the same.
constexpr int kExitGoalUnmet = 4;

// Exit status 0 on success; 1 when the run could not be flown or written;
// 2 for a bad scenario, script or goal; 4 for a goal not met in time; CLI11's
// own status for a bad command line.
int runZolksim(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Terminal terminal = {});

}  // namespace zolksim
