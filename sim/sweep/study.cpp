#include "sim/sweep/study.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <toml++/toml.h>

#include "host/scenario/scenario_file.h"
#include "sim/run/default_mission.h"
#include "sim/sweep/case_check.h"
#include "sim/sample/sample_reading.h"

namespace zolksim {

namespace {

namespace fs = std::filesystem;

constexpr ParameterInfo kParameters[] = {
    {"thrust", "thrust_N", "main engines' total thrust (N)"},
    {"isp", "isp_Ns_per_kg", "specific impulse (N s/kg)"},
    {"propellant", "propellant_kg", "propellant at the start (kg)"},
    {"dry_mass", "dry_mass_kg", "dry mass (kg)"},
    {"periapsis", "periapsis_km", "periapsis altitude at the start (km)"},
    {"apoapsis", "apoapsis_km", "apoapsis altitude at the start (km)"},
    {"step", "step_s", "time step (s)"},
};
constexpr std::size_t kMaxCases = 10'000'000;
constexpr std::size_t kMaxRangeCount = 100'000;

struct StudyError {
    std::string message;
};

double numberAt(const toml::node& node, const std::string& where) {
    const std::optional<double> value = node.value<double>();
    if (!value || !std::isfinite(*value)) throw StudyError{where + " must be a number"};
    return *value;
}

// A list of numbers, or a range { from, to, count } or { from, to, by }.
std::vector<double> valuesOf(const toml::node& node, const std::string& where) {
    std::vector<double> values;
    if (const toml::array* list = node.as_array()) {
        for (const toml::node& item : *list) values.push_back(numberAt(item, where + "'s values"));
    } else if (const toml::table* range = node.as_table()) {
        for (const auto& [key, value] : *range)
            if (key != "from" && key != "to" && key != "count" && key != "by")
                throw StudyError{where + ": unknown key '" + std::string(key.str()) + "' (from, to, count or by)"};
        if (!range->contains("from") || !range->contains("to") || range->contains("count") == range->contains("by"))
            throw StudyError{where + ": a range needs from, to, and either count or by"};
        const double from = numberAt(*range->get("from"), where + ".from");
        const double to = numberAt(*range->get("to"), where + ".to");
        double count = 0.0;
        if (range->contains("count")) {
            count = numberAt(*range->get("count"), where + ".count");
        } else {
            const double by = numberAt(*range->get("by"), where + ".by");
            if (by <= 0.0) throw StudyError{where + ".by must be above zero"};
            count = std::floor(std::abs(to - from) / by * (1 + 1e-12)) + 1;
        }
        if (count < 1 || count > kMaxRangeCount || count != std::floor(count))
            throw StudyError{where + ": a range has 1 to 100000 values"};
        const auto n = static_cast<std::size_t>(count);
        const double stride = n == 1 ? 0.0 : range->contains("by") ? std::copysign(numberAt(*range->get("by"), where), to - from)
                                                                   : (to - from) / static_cast<double>(n - 1);
        for (std::size_t i = 0; i < n; ++i)
            values.push_back(i + 1 == n && range->contains("count") ? to : from + stride * static_cast<double>(i));
    } else {
        throw StudyError{where + " must be a list of numbers or a range { from, to, count }"};
    }
    if (values.empty()) throw StudyError{where + " has no values"};
    return values;
}

// The scenario's text, held by the study so that a file changed while the
// study runs cannot give its cases different starts.
std::string scenarioTextOf(const std::string& path) {
    std::error_code ignored;
    std::ifstream file;
    if (!fs::is_directory(path, ignored)) file.open(path, std::ios::binary);
    std::string text;
    char buffer[4096];
    while ((file.read(buffer, sizeof buffer) || file.gcount() > 0) && text.size() <= simhost::kMaxScenarioBytes)
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (!file.is_open() || file.bad()) throw StudyError{"scenario " + path + ": cannot read the file"};
    if (text.size() > simhost::kMaxScenarioBytes) throw StudyError{"scenario " + path + ": larger than a scenario may be"};
    return text;
}

fs::path resolved(const fs::path& base, const std::string& name) {
    const fs::path path(name);
    return path.is_absolute() ? path : base / path;
}

Study readStudy(const toml::table& file, const std::string& path) {
    Study study;
    study.path = path;
    const fs::path base = fs::path(path).parent_path();
    for (const auto& [key, value] : file)
        if (key != "scenario" && key != "goal" && key != "days" && key != "step" && key != "out" && key != "vary" &&
            key != "sample")
            throw StudyError{"unknown key '" + std::string(key.str()) + "' (scenario, goal, days, step, out, vary, sample)"};

    if (const toml::node* scenario = file.get("scenario")) {
        const std::optional<std::string> name = scenario->value<std::string>();
        if (!name || name->empty()) throw StudyError{"scenario must name a file"};
        study.scenarioPath = resolved(base, *name).string();
        study.scenarioText = scenarioTextOf(study.scenarioPath);
    } else {
        study.scenarioText = kDefaultMissionText;
    }
    const std::optional<std::string> goal = file["goal"].value<std::string>();
    if (!goal) throw StudyError{"goal must be given, as text such as \"apoapsis >= 5000 km\""};
    GoalParse parse = parseGoalCondition(*goal);
    if (!parse.ok) throw StudyError{"goal: " + parse.error};
    study.goal = std::move(parse.condition);

    if (!file.contains("days")) throw StudyError{"days must be given: the limit of each case's flight"};
    study.limitDays = numberAt(*file.get("days"), "days");
    if (study.limitDays <= 0.0 || study.limitDays > 1e6) throw StudyError{"days must be above 0 and at most 1000000"};
    if (file.contains("step")) study.step = numberAt(*file.get("step"), "step");
    // Named in the file: beside it, like the scenario. Not named: in the current
    // folder, like a run's zolksim-out.
    if (const toml::node* out = file.get("out")) {
        const std::optional<std::string> name = out->value<std::string>();
        if (!name || name->empty()) throw StudyError{"out must name a folder"};
        study.outDir = resolved(base, *name).string();
    } else {
        study.outDir = fs::path(path).stem().string() + "-out";
    }

    if (const toml::node* vary = file.get("vary")) {
        const toml::table* table = vary->as_table();
        if (!table) throw StudyError{"vary must be a table of parameters"};
        for (const auto& [key, value] : *table) {
            bool known = false;
            for (const ParameterInfo& info : kParameters) known = known || key == info.key;
            if (!known)
                throw StudyError{"vary: unknown parameter '" + std::string(key.str()) +
                                 "' (thrust, isp, propellant, dry_mass, periapsis, apoapsis, step)"};
        }
        for (std::size_t p = 0; p < std::size(kParameters); ++p)
            if (const toml::node* values = table->get(kParameters[p].key))
                study.varied.push_back({static_cast<StudyParameter>(p), valuesOf(*values, std::string("vary.") + kParameters[p].key)});
    }
    if (const toml::node* sample = file.get("sample")) {
        if (file.contains("vary")) throw StudyError{"a study has [vary] or [sample], not both"};
        const toml::table* table = sample->as_table();
        if (!table) throw StudyError{"sample must be a table"};
        auto plan = std::make_shared<SamplePlan>();
        std::string error;
        if (!readSamplePlan(*table, *plan, error)) throw StudyError{error};
        study.sample = std::move(plan);
    }
    double cases = 1.0;
    for (const VariedParameter& v : study.varied) {
        cases *= static_cast<double>(v.values.size());
        for (double x : v.values) {
            const bool positive = v.parameter != StudyParameter::Periapsis && v.parameter != StudyParameter::Apoapsis &&
                                  v.parameter != StudyParameter::Propellant;
            if (positive ? x <= 0.0 : x < 0.0)
                throw StudyError{std::string("vary.") + parameterInfo(v.parameter).key + ": " +
                                 (positive ? "values must be above zero" : "values must not be negative")};
        }
    }
    if (cases > static_cast<double>(kMaxCases)) throw StudyError{"more than 10000000 cases"};
    if (!(study.step > 0.0)) throw StudyError{"step must be above zero"};
    if (std::string impossible = checkStudyCases(study); !impossible.empty()) throw StudyError{impossible};
    return study;
}

}  // namespace

const ParameterInfo& parameterInfo(StudyParameter parameter) { return kParameters[static_cast<int>(parameter)]; }

std::size_t Study::caseCount() const {
    if (sample) return sample->count;
    std::size_t count = 1;
    for (const VariedParameter& v : varied) count *= v.values.size();
    return count;
}

std::vector<double> Study::caseValues(std::size_t index) const {
    if (sample) return drawCase(*sample, index).values;
    std::vector<double> values(varied.size());
    for (std::size_t p = varied.size(); p-- > 0;) {
        values[p] = varied[p].values[index % varied[p].values.size()];
        index /= varied[p].values.size();
    }
    return values;
}

std::vector<std::string> Study::valueColumns() const {
    if (sample) return sampleColumns(*sample);
    std::vector<std::string> columns;
    for (const VariedParameter& v : varied) columns.push_back(parameterInfo(v.parameter).column);
    return columns;
}

StudyLoad loadStudy(const std::string& path) {
    StudyLoad load;
    try {
        load.study = readStudy(toml::parse_file(path), path);
        load.ok = true;
    } catch (const toml::parse_error& e) {
        std::ostringstream where;
        where << path;
        if (e.source().begin.line > 0) where << ":" << e.source().begin.line;
        load.error = where.str() + ": " + std::string(e.description());
    } catch (const StudyError& e) {
        load.error = path + ": " + e.message;
    }
    return load;
}

}  // namespace zolksim
