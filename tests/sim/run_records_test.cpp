// What a run writes for programs: summary.json, read back and held against
// its schema in docs/, and history.csv, one row per orbit, read back and held
// against the physics of the engines that burned.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>

#include "tests/sim/runner_fixture.h"
#include "tests/sim/schema_check.h"

namespace {

using namespace runner_fixture;

using RunRecords = Runner;

// history.csv as rows of named figures (an empty cell: NaN).
std::vector<std::map<std::string, double>> readCsv(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    std::vector<std::string> header;
    std::istringstream names(line);
    for (std::string name; std::getline(names, name, ',');) header.push_back(name);
    std::vector<std::map<std::string, double>> rows;
    while (std::getline(lines, line)) {
        std::map<std::string, double>& row = rows.emplace_back();
        std::istringstream cells(line + ",");
        std::string cell;
        for (const std::string& name : header) {
            std::getline(cells, cell, ',');
            row[name] = cell.empty() ? NAN : std::stod(cell);
        }
    }
    return rows;
}

nlohmann::json readJson(const fs::path& path) { return nlohmann::json::parse(Runner::read(path)); }

void expectValid(const nlohmann::json& summary) {
    std::vector<std::string> problems;
    schema_check::check(summary, readJson(fs::path(ZOLK_SOURCE_DIR) / "docs/summary.schema.json"), "summary",
                        problems);
    for (const std::string& problem : problems) ADD_FAILURE() << problem;
}

// The default tug (two 1.5 N engines at 30,000 N s/kg, 1000 kg dry, 400 kg of
// xenon) for 2 days to a goal it meets, then the same to one it cannot.
TEST_F(RunRecords, SummaryJsonFitsItsSchemaAndHistoryAddsUpToTheEnginesBurns) {
    Outcome r = run({"--until", "apoapsis >= 2300 km", "--days", "2", "--step", "5", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    nlohmann::json summary = readJson(out() / "summary.json");
    expectValid(summary);
    EXPECT_EQ(summary["exit_reason"], "goal_met");
    EXPECT_EQ(summary["goal"]["condition"], "apoapsis >= 2300 km");
    EXPECT_EQ(summary["goal"]["met"], true);
    const double metAt = summary["goal"]["met_s"], crossing = summary["goal"]["crossing_s"];
    EXPECT_EQ(metAt, summary["flown_s"].get<double>());
    EXPECT_EQ(summary["goal"]["met_step"].get<double>() * 5, metAt);
    EXPECT_GT(crossing, metAt - 5);  // within the step that met it
    EXPECT_LE(crossing, metAt);
    EXPECT_GE(summary["apoapsis_end_km"].get<double>(), 2300);
    EXPECT_LT(summary["periapsis_end_km"].get<double>(), 1000);  // not the apoapsis under another name
    // The same figures as the text, to its decimals.
    const std::string text = read(out() / "summary.txt");
    char used[32];
    std::snprintf(used, sizeof used, "%.3f kg", summary["propellant_used_kg"].get<double>());
    const std::size_t line = text.find("propellant used");
    EXPECT_NE(text.substr(line, text.find('\n', line) - line).find(used), std::string::npos) << text << used;

    // Propellant per orbit: thrust / ISP x burn time, 3 N / 30,000 N s/kg =
    // 1e-4 kg/s (the file's 6 decimals of kg and 3 of s bound the difference
    // at 2e-6 kg); delta-v by Tsiolkovsky over the whole flight.
    const auto rows = readCsv(read(out() / "history.csv"));
    ASSERT_GE(rows.size(), 5u);
    double propellant = summary["propellant_start_kg"], burn = 0.0, start = 0.0;
    std::size_t full = 0;
    for (const auto& row : rows) {
        EXPECT_NEAR(propellant - row.at("propellant_kg"), 1e-4 * row.at("burn_s"), 2e-6) << "orbit " << row.at("orbit");
        EXPECT_EQ(row.at("start_s"), start);
        if (row.at("full") == 1) {
            ++full;
            // A full orbit, apoapsis to apoapsis, lasts its period; the means
            // lie between the osculating figures at its two ends, roughly.
            EXPECT_NEAR(row.at("end_s") - row.at("start_s"), 60 * row.at("mean_period_min"), 60);
            EXPECT_LT(row.at("mean_periapsis_km"), row.at("mean_apoapsis_km"));
            EXPECT_NEAR(row.at("mean_apoapsis_km"), row.at("apoapsis_km"), 30);
            EXPECT_NEAR(row.at("mean_periapsis_km"), row.at("periapsis_km"), 30);
            EXPECT_NEAR(row.at("inclination_deg"), 23.44, 0.05);  // the ecliptic orbit to Earth's equator
        } else {
            EXPECT_TRUE(std::isnan(row.at("mean_apoapsis_km")));
        }
        propellant = row.at("propellant_kg");
        burn += row.at("burn_s");
        start = row.at("end_s");
    }
    EXPECT_EQ(start, metAt);
    EXPECT_EQ(summary["full_orbits"], full);
    EXPECT_NEAR(burn, summary["burn_s"].get<double>(), 1e-6);
    EXPECT_NEAR(propellant, summary["propellant_end_kg"].get<double>(), 1e-6);
    const double dv = 30000 * std::log(1400 / (1000 + propellant));
    EXPECT_NEAR(summary["delta_v_used_m_s"].get<double>(), dv, 1e-3);
    EXPECT_NEAR(rows.back().at("delta_v_total_m_s"), dv, 1e-3);

    r = run({"--until", "periapsis >= 9000 km", "--seconds", "3000", "--step", "5", "--quiet"});
    ASSERT_EQ(r.status, zolksim::kExitGoalUnmet) << r.err;
    summary = readJson(out() / "summary.json");
    expectValid(summary);
    EXPECT_EQ(summary["exit_reason"], "goal_not_met");
    EXPECT_EQ(summary["exit_status"], zolksim::kExitGoalUnmet);
    EXPECT_TRUE(summary["goal"]["crossing_s"].is_null());
    EXPECT_TRUE(summary["mean_apoapsis_last_orbit_km"].is_null()) << "no full orbit in 3000 s";
}

}  // namespace
