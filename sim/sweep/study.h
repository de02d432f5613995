// A trade study: a base scenario, the parameters to vary over lists or ranges,
// a goal and a limit, read from a TOML file (docs/sweep.md). Its cases are
// every combination of the parameters' values, numbered from 0 with the last
// parameter varying fastest.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "sim/goal/goal_condition.h"

namespace zolksim {

struct SamplePlan;  // sim/sample/sample_plan.h

// What a case may change, in the order the columns and the case numbers follow.
enum class StudyParameter { Thrust, Isp, Propellant, DryMass, Periapsis, Apoapsis, Step };

struct ParameterInfo {
    const char* key;     // in the study file's [vary] table
    const char* column;  // in sweep.csv, with its unit
    const char* label;   // on the pictures' axes
};

const ParameterInfo& parameterInfo(StudyParameter parameter);

struct VariedParameter {
    StudyParameter parameter;
    std::vector<double> values;  // in the unit of its column
};

struct Study {
    std::string path;          // the study file, as named
    std::string scenarioPath;  // resolved against the study's folder; empty: the built-in mission
    std::string scenarioText;  // its content, read with the study: every case flies this text
    GoalCondition goal;
    double limitDays = 0.0;
    double step = 1.0;         // s, when not varied
    std::string outDir;        // named in the file: resolved against its folder; else <name>-out here
    std::vector<VariedParameter> varied;  // in StudyParameter order
    // A dispersion's [sample]: then its draws are the cases, and varied is empty.
    std::shared_ptr<const SamplePlan> sample;

    std::size_t caseCount() const;
    // The values of case index, one per varied parameter (or drawn value).
    std::vector<double> caseValues(std::size_t index) const;
    // The columns of those values in sweep.csv.
    std::vector<std::string> valueColumns() const;
};

struct StudyLoad {
    bool ok = false;
    Study study;
    std::string error;  // names the file, and the line where TOML says
};

StudyLoad loadStudy(const std::string& path);

}  // namespace zolksim
