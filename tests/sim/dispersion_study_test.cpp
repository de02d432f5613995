// Dispersion studies through `zolksim sweep`: the [sample] table read with the
// study, its draws in sweep.csv as flown, the same table whether the cases are
// flown together or one by one, and the report beside it.
#include <gtest/gtest.h>

#include <cmath>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sim/run/process_id.h"
#include "sim/run/run.h"
#include "sim/sample/sample_plan.h"
#include "sim/sweep/study.h"

namespace {

namespace fs = std::filesystem;

const char* const kStudy =
    "goal = \"apoapsis >= 2400 km\"\ndays = 3\nstep = 30\n"
    "[sample]\ncount = 4\nseed = 9\n"
    "thrust_error = { dist = \"normal\", mean = 0, sigma = 0.2, min = -0.5 }\n"
    "pointing = { dist = \"uniform\", min = 0, max = 20 }\n"
    "along_velocity = { dist = \"normal\", mean = 0, sigma = 1 }\n";

class DispersionStudy : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(::testing::TempDir()) / ("zolkdisp_" + std::to_string(zolksim::currentProcessId()) + "_" +
                                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
        return (folder / name).string();
    }
    static std::string read(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    static int sweep(std::vector<std::string> args, std::string* err = nullptr) {
        args.insert(args.begin(), {"zolksim", "sweep"});
        args.insert(args.end(), {"--module", ZOLK_MODULE_PATH, "--quiet"});
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        std::ostringstream out, errors;
        const int status = zolksim::runZolksim(static_cast<int>(argv.size()), argv.data(), out, errors);
        if (err) *err = errors.str();
        return status;
    }
    // sweep.csv's lines, without the wall time where the table has one (last).
    static std::vector<std::string> table(const std::string& csv) {
        std::vector<std::string> lines;
        std::istringstream in(csv);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        if (!lines.empty() && lines[0].size() > 7 && lines[0].compare(lines[0].size() - 7, 7, ",wall_s") == 0)
            for (std::string& line : lines) line.erase(line.rfind(','));
        return lines;
    }

    fs::path folder;
};

TEST_F(DispersionStudy, SampledCasesAreTheSameFlownTogetherOrOneByOne) {
    const std::string path = write("d.toml", kStudy);
    const zolksim::StudyLoad load = zolksim::loadStudy(path);
    ASSERT_TRUE(load.ok) << load.error;
    ASSERT_EQ(load.study.caseCount(), 4u);
    EXPECT_EQ(load.study.valueColumns(),
              (std::vector<std::string>{"thrust_error", "pointing_deg", "pointing_azimuth_deg", "along_velocity_m_per_s"}));

    ASSERT_EQ(sweep({path, "--out", (folder / "local").string(), "--workers", "2"}), 0);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(sweep({path, "--out", (folder / "apart").string(), "--case", std::to_string(i)}), 0);
    ASSERT_EQ(sweep({path, "--out", (folder / "apart").string(), "--collect", (folder / "apart" / "rows").string()}), 0);
    const std::vector<std::string> local = table(read(folder / "local" / "sweep.csv"));
    EXPECT_EQ(local, table(read(folder / "apart" / "sweep.csv")));
    ASSERT_EQ(local.size(), 5u);
    EXPECT_EQ(local[0].rfind("case,thrust_error,pointing_deg,pointing_azimuth_deg,along_velocity_m_per_s,met,", 0), 0u)
        << local[0];

    // Each row carries the draws its case was flown with, and they made a
    // difference: thrust errors of some 20 % spread the times to the goal.
    std::set<std::string> times;
    for (std::size_t i = 1; i < local.size(); ++i) {
        std::vector<std::string> fields;
        std::stringstream line(local[i]);
        for (std::string f; std::getline(line, f, ',');) fields.push_back(f);
        const std::vector<double> drawn = zolksim::drawCase(*load.study.sample, i - 1).values;
        ASSERT_GE(fields.size(), 7u);
        for (std::size_t c = 0; c < drawn.size(); ++c) EXPECT_NEAR(std::stod(fields[1 + c]), drawn[c], 1e-9 * std::abs(drawn[c]) + 1e-12);
        EXPECT_EQ(fields[5], "yes") << local[i];
        times.insert(fields[6]);
    }
    EXPECT_EQ(times.size(), 4u);

    const std::string report = read(folder / "local" / "dispersion.md");
    EXPECT_NE(report.find("4 of 4 cases met the goal (100.0 %)"), std::string::npos) << report;
    EXPECT_NE(report.find("seed 9"), std::string::npos) << report;
    for (const char* picture : {"dispersion-time-to-goal.png", "dispersion-time-to-goal.svg", "dispersion-propellant.png"})
        EXPECT_TRUE(fs::exists(folder / "local" / picture)) << picture;
}

TEST_F(DispersionStudy, SampleAndVaryTogetherAreRefused) {
    const std::string path = write("both.toml", std::string(kStudy) + "[vary]\nthrust = [1, 2]\n");
    const zolksim::StudyLoad load = zolksim::loadStudy(path);
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.error.find("[vary] or [sample], not both"), std::string::npos) << load.error;
}

}  // namespace
