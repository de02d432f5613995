#include "sim/sweep/sweep_table.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/physics/physical_constants.h"
#include "sim/sweep/case_fingerprint.h"
#include "sim/run/process_id.h"

namespace zolksim {

namespace {

namespace fs = std::filesystem;

constexpr int kResultColumns = 11;  // met .. flown_from, and wall_s in a row file

std::string number(const char* pattern, double value) {
    if (std::isinf(value)) return "open";
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Parameters are written with enough digits to tell any two study values apart.
std::string parameterText(double value) { return number("%.10g", value); }

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ',')) fields.push_back(field);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

RowState parseRow(const Study& study, std::size_t index, const std::string& line, SweepRow& row) {
    const std::vector<std::string> f = fieldsOf(line);
    const std::size_t n = study.valueColumns().size();
    if (f.size() != 1 + n + kResultColumns || f[0] != std::to_string(index)) return RowState::Absent;
    row.index = index;
    if (f[1 + n] != "yes" && f[1 + n] != "no") return RowState::Absent;
    row.met = f[1 + n] == "yes";
    try {
        row.timeToGoalDays = row.met ? std::stod(f[2 + n]) : 0.0;
        row.propellantUsedKg = std::stod(f[3 + n]);
    } catch (const std::exception&) {
        return RowState::Absent;
    }
    row.values = study.caseValues(index);
    for (std::size_t p = 0; p < n; ++p)
        if (f[1 + p] != parameterText(row.values[p])) return RowState::Stale;
    if (f[f.size() - 2] != caseFingerprint(study, index)) return RowState::Stale;
    try {
        row.wallSeconds = std::stod(f.back());
    } catch (const std::exception&) {
        row.wallSeconds = NAN;  // kept free text: an unreadable time costs the table nothing
    }
    row.text = line.substr(0, line.rfind(','));
    return RowState::Current;
}

}  // namespace

std::string sweepHeader(const Study& study) {
    std::string header = "case";
    for (const std::string& column : study.valueColumns()) header += "," + column;
    return header + ",met,time_to_goal_d,propellant_used_kg,delta_v_used_m_per_s,burns,final_periapsis_km,"
                    "final_apoapsis_km,mean_periapsis_km,mean_apoapsis_km,flown_from";
}

std::string timingHeader() { return "case,wall_s"; }

std::string timingLine(const SweepRow& row) { return std::to_string(row.index) + "," + number("%.3f", row.wallSeconds); }

std::string sweepLine(const Study& study, std::size_t index, const CaseResult& r) {
    // Appended field by field: GCC 12 warns falsely about "literal" + string.
    std::string line = std::to_string(index);
    const auto field = [&line](const std::string& text) { line.append(",").append(text); };
    for (double value : study.caseValues(index)) field(parameterText(value));
    field(r.met ? "yes" : "no");
    field(r.met ? number("%.6f", r.timeToGoal / simhost::kSecondsPerDay) : std::string());
    field(number("%.4f", r.propellantUsed));
    field(number("%.3f", r.deltaVUsed));
    field(std::to_string(r.burns));
    field(number("%.3f", r.finalPeriapsisKm));
    field(number("%.3f", r.finalApoapsisKm));
    // No full orbit flown, no mean: the field is left empty.
    field(std::isnan(r.meanPeriapsisKm) ? std::string() : number("%.3f", r.meanPeriapsisKm));
    field(std::isnan(r.meanApoapsisKm) ? std::string() : number("%.3f", r.meanApoapsisKm));
    field(caseFingerprint(study, index));
    field(number("%.3f", r.wallSeconds));
    return line;
}

std::string rowFileName(std::size_t index) { return "case-" + std::to_string(index) + ".csv"; }

RowState readRowFile(const Study& study, std::size_t index, const std::string& path, SweepRow& row) {
    std::ifstream file(path, std::ios::binary);
    std::string line, rest;
    if (!std::getline(file, line) || file.eof() || std::getline(file, rest)) return RowState::Absent;  // one whole line
    if (index >= study.caseCount()) return RowState::Absent;
    return parseRow(study, index, line, row);
}

std::map<std::size_t, SweepRow> readRows(const Study& study, const std::string& folder,
                                         std::vector<std::string>& problems) {
    std::map<std::size_t, SweepRow> rows;
    std::error_code failed;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, failed)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("case-", 0) != 0 || entry.path().extension() != ".csv") continue;  // also skips half-written files
        std::size_t index = 0;
        try {
            index = std::stoul(name.substr(5));
        } catch (const std::exception&) {
            problems.push_back(entry.path().string() + ": not a case's row file");
            continue;
        }
        SweepRow row;
        const RowState state = name == rowFileName(index) ? readRowFile(study, index, entry.path().string(), row)
                                                          : RowState::Absent;
        if (state == RowState::Current)
            rows.emplace(index, std::move(row));
        else if (state == RowState::Stale)
            problems.push_back(entry.path().string() +
                               ": flown from another version of the study, its scenario or the program; fly it again");
        else
            problems.push_back(entry.path().string() + ": not a whole row of this study's case " + std::to_string(index));
    }
    if (failed) problems.push_back(folder + ": " + failed.message());
    return rows;
}

bool writeWhole(const std::string& path, const std::string& text, std::string& error) {
    const std::string aside = path + ".part-" + std::to_string(currentProcessId());
    {
        std::ofstream file(aside, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            std::error_code ignored;
            fs::remove(aside, ignored);
            error = path + ": cannot write the file";
            return false;
        }
    }
    std::error_code failed;
    fs::rename(aside, path, failed);
    if (failed) {
        fs::remove(aside, failed);
        error = path + ": cannot move the file into place";
        return false;
    }
    return true;
}

}  // namespace zolksim
