// Where zolksim finds the module when it is not told.
#pragma once

#include <string>

namespace zolksim {

// The module built beside the running program (bin/../lib on POSIX, the same
// folder on Windows), else the one this build made; empty when neither exists.
std::string defaultModulePath();

}  // namespace zolksim
