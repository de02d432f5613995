// What a dispersion study writes beside sweep.csv: dispersion.md (the report)
// and the time-to-goal and propellant histograms with their CDFs.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "sim/sweep/study.h"
#include "sim/sweep/sweep_table.h"

namespace zolksim {

// Writes into outDir; the names written are added to written. False with the
// reason in error.
bool writeDispersionOutputs(const Study& study, const std::map<std::size_t, SweepRow>& rows,
                            const std::string& outDir, std::vector<std::string>& written, std::string& error);

}  // namespace zolksim
