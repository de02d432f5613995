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
// A flight stopped where its path went through the body's surface, or where
// its step became too coarse for the orbit (sim/run/flight_guard.h); its files
// are written all the same, and no goal is met.
constexpr int kExitHitBody = 5;
constexpr int kExitStepTooCoarse = 6;

// Exit status 0 on success; 1 when the run could not be flown or written;
// 2 for a bad command line, scenario, script or goal, or a step too coarse
// from the start; 4 for a goal not met in time; 5 and 6 as above.
int runZolksim(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Terminal terminal = {});

}  // namespace zolksim
