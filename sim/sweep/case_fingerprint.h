// What a case's row was flown from, as one number: the program's version, the
// study's shared settings (goal, limit, step), the base scenario's text and the
// case's own values. A row whose number differs from the one the study gives
// now was flown from something else, and is flown again.
#pragma once

#include <cstddef>
#include <string>

#include "sim/sweep/study.h"

namespace zolksim {

// 16 lower-case hexadecimal digits (64-bit FNV-1a): rows are told apart, not
// guarded against forgery.
std::string caseFingerprint(const Study& study, std::size_t index);

}  // namespace zolksim
