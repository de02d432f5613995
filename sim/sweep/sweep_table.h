// The rows of a study: one CSV line per case, each case's in a file of its own
// while the study runs, merged into sweep.csv. Every file is written whole or
// not at all (written aside, then renamed into place).
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "sim/sweep/case_flight.h"
#include "sim/sweep/study.h"

namespace zolksim {

// A case's row as read back: what the pictures and the resume need.
struct SweepRow {
    std::size_t index = 0;
    std::vector<double> values;  // the varied parameters'
    bool met = false;
    double timeToGoalDays = 0.0;  // when met
    double propellantUsedKg = 0.0;
    std::string text;             // the line as written, without its newline
};

// case, the varied parameters' columns, met, time_to_goal_d, propellant_used_kg,
// burns, final_periapsis_km, final_apoapsis_km, flown_from (the case's
// fingerprint), wall_s (always last).
std::string sweepHeader(const Study& study);
std::string sweepLine(const Study& study, std::size_t index, const CaseResult& result);

// The row file of case index inside a rows folder.
std::string rowFileName(std::size_t index);

enum class RowState {
    Absent,   // no file, or not a whole row of the case
    Stale,    // a whole row of the case, flown from other values, settings, scenario or program
    Current,  // flown from what the study gives now
};

// Reads a row file's line into row when it is Current.
RowState readRowFile(const Study& study, std::size_t index, const std::string& path, SweepRow& row);

// Every case's current row found in folder, by case; the other row files are
// left out and described in problems.
std::map<std::size_t, SweepRow> readRows(const Study& study, const std::string& folder,
                                         std::vector<std::string>& problems);

// Writes text to path through a file beside it and a rename.
bool writeWhole(const std::string& path, const std::string& text, std::string& error);

}  // namespace zolksim
