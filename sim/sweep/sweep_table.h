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
    double wallSeconds = 0.0;
    std::string text;             // the line as sweep.csv has it: without the wall time or a newline
};

// sweep.csv's header: case, the varied parameters' columns, met,
// time_to_goal_d, propellant_used_kg, delta_v_used_m_per_s, burns,
// final_periapsis_km, final_apoapsis_km, flown_from (the case's fingerprint).
// Nothing in it depends on the machine or the moment, so that two runs of one
// study compare byte for byte.
std::string sweepHeader(const Study& study);
// A case's row file: its sweep.csv line, then the wall time (s) it took.
std::string sweepLine(const Study& study, std::size_t index, const CaseResult& result);

// timing.csv: case, wall_s.
std::string timingHeader();
std::string timingLine(const SweepRow& row);

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
