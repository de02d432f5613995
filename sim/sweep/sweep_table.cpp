#include "sim/sweep/sweep_table.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/physics/physical_constants.h"
#include "sim/run/process_id.h"

namespace zolksim {

namespace {

namespace fs = std::filesystem;

constexpr int kResultColumns = 7;  // met .. wall_s

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

bool parseRow(const Study& study, const std::string& line, SweepRow& row) {
    const std::vector<std::string> f = fieldsOf(line);
    const std::size_t n = study.valueColumns().size();
    if (f.size() != 1 + n + kResultColumns) return false;
    try {
        std::size_t used = 0;
        row.index = std::stoul(f[0], &used);
        if (used != f[0].size() || row.index >= study.caseCount()) return false;
        const std::vector<double> values = study.caseValues(row.index);
        for (std::size_t p = 0; p < n; ++p)
            if (f[1 + p] != parameterText(values[p])) return false;
        row.values = values;
        if (f[1 + n] != "yes" && f[1 + n] != "no") return false;
        row.met = f[1 + n] == "yes";
        row.timeToGoalDays = row.met ? std::stod(f[2 + n]) : 0.0;
        row.propellantUsedKg = std::stod(f[3 + n]);
    } catch (const std::exception&) {
        return false;
    }
    row.text = line;
    return true;
}

}  // namespace

std::string sweepHeader(const Study& study) {
    std::string header = "case";
    for (const std::string& column : study.valueColumns()) header += "," + column;
    return header + ",met,time_to_goal_d,propellant_used_kg,burns,final_periapsis_km,final_apoapsis_km,wall_s";
}

std::string sweepLine(const Study& study, std::size_t index, const CaseResult& r) {
    // Appended field by field: GCC 12 warns falsely about "literal" + string.
    std::string line = std::to_string(index);
    const auto field = [&line](const std::string& text) { line.append(",").append(text); };
    for (double value : study.caseValues(index)) field(parameterText(value));
    field(r.met ? "yes" : "no");
    field(r.met ? number("%.6f", r.timeToGoal / simhost::kSecondsPerDay) : std::string());
    field(number("%.4f", r.propellantUsed));
    field(std::to_string(r.burns));
    field(number("%.3f", r.finalPeriapsisKm));
    field(number("%.3f", r.finalApoapsisKm));
    field(number("%.3f", r.wallSeconds));
    return line;
}

std::string rowFileName(std::size_t index) { return "case-" + std::to_string(index) + ".csv"; }

bool readRowFile(const Study& study, std::size_t index, const std::string& path, SweepRow& row) {
    std::ifstream file(path, std::ios::binary);
    std::string line, rest;
    if (!std::getline(file, line) || file.eof() || std::getline(file, rest)) return false;  // one whole line
    return parseRow(study, line, row) && row.index == index;
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
        if (name != rowFileName(index) || !readRowFile(study, index, entry.path().string(), row))
            problems.push_back(entry.path().string() + ": not a whole row of this study's case " + std::to_string(index));
        else
            rows.emplace(index, std::move(row));
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
