// Trade studies: the study file read with its lists and ranges, a case's values
// put into the vessel, and whole studies flown through `zolksim sweep`, resumed
// after a kill and run case by case as other engines run them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/run/default_mission.h"
#include "sim/run/process_id.h"
#include "sim/run/run.h"
#include "sim/sweep/case_setup.h"
#include "sim/sweep/study.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

class Sweep : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::path(::testing::TempDir()) /
                 ("zolksweep_" + std::to_string(zolksim::currentProcessId()) + "_" + std::string(info->name()));
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
    static Outcome sweep(std::vector<std::string> args) {
        args.insert(args.begin(), {"zolksim", "sweep"});
        args.insert(args.end(), {"--module", ZOLK_MODULE_PATH});
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        std::ostringstream out, err;
        const int status = zolksim::runZolksim(static_cast<int>(argv.size()), argv.data(), out, err);
        return {status, out.str(), err.str()};
    }
    static std::vector<std::string> linesOf(const std::string& csv) {
        std::vector<std::string> lines;
        std::istringstream in(csv);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    fs::path folder;
};

TEST_F(Sweep, StudyGivesEveryCombinationLastParameterFastest) {
    const std::string path = write("s.toml",
                                   "goal = \"apoapsis >= 3000 km\"\ndays = 4\n"
                                   "[vary]\nstep = [5, 10]\nthrust = { from = 1, to = 2, count = 3 }\n"
                                   "isp = { from = 30000, to = 20000, by = 5000 }\n");
    const zolksim::StudyLoad load = zolksim::loadStudy(path);
    ASSERT_TRUE(load.ok) << load.error;
    const zolksim::Study& s = load.study;
    ASSERT_EQ(s.varied.size(), 3u);  // in the columns' order, not the file's
    EXPECT_EQ(s.varied[0].parameter, zolksim::StudyParameter::Thrust);
    EXPECT_EQ(s.varied[1].values, (std::vector<double>{30000, 25000, 20000}));
    EXPECT_EQ(s.caseCount(), 18u);
    EXPECT_EQ(s.caseValues(0), (std::vector<double>{1, 30000, 5}));
    EXPECT_EQ(s.caseValues(1), (std::vector<double>{1, 30000, 10}));
    EXPECT_EQ(s.caseValues(17), (std::vector<double>{2, 20000, 10}));
    EXPECT_EQ(s.caseValues(8), (std::vector<double>{1.5, 25000, 5}));

    const std::pair<const char*, const char*> bad[] = {
        {"goal = \"apoapsis >= 3000 km\"\ndays = 4\n[vary]\nthrust = [1, 2\n", "s.toml:4"},
        {"goal = \"apoapsis >= 3000 kg\"\ndays = 4\n", "cannot read 'kg'"},
        {"goal = \"apoapsis >= 3000 km\"\ndays = 4\n[vary]\nthrust_N = [1]\n", "unknown parameter 'thrust_N'"},
        {"goal = \"apoapsis >= 3000 km\"\ndays = 4\n[vary]\nisp = { from = 1, to = 2 }\n", "a range needs"},
        {"goal = \"apoapsis >= 3000 km\"\ndays = 4\n[vary]\nstep = [0]\n", "above zero"},
        {"goal = \"apoapsis >= 3000 km\"\n", "days must be given"},
    };
    for (const auto& [text, said] : bad) {
        const zolksim::StudyLoad refused = zolksim::loadStudy(write("s.toml", text));
        EXPECT_FALSE(refused.ok) << text;
        EXPECT_NE(refused.error.find(said), std::string::npos) << refused.error;
    }
}

// The case's orbit by vis-viva, checked through the host's own elements.
TEST_F(Sweep, CaseValuesReachTheVesselAndItsOrbit) {
    simhost::world().reset();
    ASSERT_TRUE(simhost::loadScenarioText(zolksim::kDefaultMissionText, "default").ok);
    simhost::Vessel& tug = *simhost::world().findVessel("Ion Tug");
    const simhost::Body& earth = *simhost::world().findBody("Earth");
    using P = zolksim::StudyParameter;
    const std::vector<zolksim::VariedParameter> varied = {{P::Thrust, {}}, {P::Isp, {}},       {P::Propellant, {}},
                                                          {P::DryMass, {}}, {P::Periapsis, {}}, {P::Apoapsis, {}}};
    std::string error;
    ASSERT_TRUE(zolksim::applyCase(varied, {5, 25000, 600, 900, 500, 3000}, tug, earth, error)) << error;
    for (const simhost::Thruster* t : *tug.group(THGROUP_MAIN)) {
        EXPECT_EQ(t->max0, 2.5);
        EXPECT_EQ(t->isp, 25000);
    }
    EXPECT_EQ(tug.propellants[0]->mass, 600);
    EXPECT_EQ(tug.emptyMass, 900);
    ELEMENTS el{};
    ORBITPARAM prm{};
    ASSERT_TRUE(tug.vesselInterface().GetElements(const_cast<simhost::Body*>(&earth), el, &prm, 0, FRAME_ECL));
    constexpr double kAltitudeTolerance = 1e-3;  // m
    EXPECT_NEAR(prm.PeD - earth.radius, 500e3, kAltitudeTolerance);
    EXPECT_NEAR(prm.ApD - earth.radius, 3000e3, kAltitudeTolerance);
    EXPECT_NEAR(prm.PeT, 0.0, 1e-6) << "a case starts at periapsis";
    // Prograde before, prograde after: the nose (+z) along the new velocity.
    const VECTOR3 nose{tug.rot.m[0][2], tug.rot.m[1][2], tug.rot.m[2][2]};
    EXPECT_NEAR(dotp(nose, unit(tug.vel - earth.state.vel)), 1.0, 1e-12);

    EXPECT_FALSE(zolksim::applyCase({{P::Periapsis, {}}}, {5000}, tug, earth, error));
    EXPECT_NE(error.find("periapsis lies above the apoapsis"), std::string::npos) << error;
    simhost::world().reset();
}

// A study over thrust, flown on two workers; killed and started again it flies
// only the cases it lacks; flown case by case and collected, it gives the same
// table. Longer thrust, sooner there.
TEST_F(Sweep, StudyResumesAndMatchesItsCasesRunOneByOne) {
    const std::string study = write("thrust.toml",
                                    "goal = \"apoapsis >= 2300 km\"\ndays = 2\nstep = 20\nout = \"local\"\n"
                                    "[vary]\nthrust = [2, 3, 4]\n");
    Outcome r = sweep({study, "--workers", "2", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path local = folder / "local";
    const std::string csv = read(local / "sweep.csv");
    for (const char* name : {"time-to-goal.png", "time-to-goal.svg", "propellant.png", "propellant.svg"})
        EXPECT_TRUE(fs::exists(local / name)) << name;
    const std::vector<std::string> lines = linesOf(csv);
    ASSERT_EQ(lines.size(), 4u) << csv;
    EXPECT_EQ(lines[0], "case,thrust_N,met,time_to_goal_d,propellant_used_kg,delta_v_used_m_per_s,burns,"
                        "final_periapsis_km,final_apoapsis_km,flown_from");
    double previous = 1e9;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(std::to_string(i - 1) + ",", 0), 0u) << lines[i];
        const double days = std::stod(lines[i].substr(lines[i].find(",yes,") + 5));
        EXPECT_LT(days, previous) << "more thrust, sooner there: " << lines[i];
        previous = days;
    }

    // As a kill leaves it: case 1's row gone, a write half done, case 2's row
    // marked so that flying it again would show.
    fs::remove(local / "rows" / "case-1.csv");
    std::ofstream(local / "rows" / "case-0.csv.part-999999999") << "0,2,ye";
    std::string row2 = read(local / "rows" / "case-2.csv");
    row2.replace(row2.rfind(',') + 1, std::string::npos, "777.000\n");
    std::ofstream(local / "rows" / "case-2.csv", std::ios::binary) << row2;
    r = sweep({study, "--workers", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("3 cases, 1 flown now"), std::string::npos) << r.out;
    EXPECT_NE(read(local / "timing.csv").find("\n2,777.000\n"), std::string::npos);
    EXPECT_EQ(linesOf(read(local / "sweep.csv")), lines);
    EXPECT_FALSE(fs::exists(local / "rows" / "case-0.csv.part-999999999"));

    // One command line per case, each run alone, then collected.
    const fs::path apart = folder / "apart";
    r = sweep({study, "--list", "--out", apart.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" sweep " + fs::absolute(study).string() + " --case 2 --out " + apart.string()),
              std::string::npos)
        << r.out;
    for (const char* index : {"0", "1", "2"}) ASSERT_EQ(sweep({study, "--case", index, "--out", apart.string()}).status, 0);
    EXPECT_EQ(sweep({study, "--case", "3", "--out", apart.string()}).status, 2);
    r = sweep({study, "--collect", (apart / "rows").string(), "--out", apart.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(linesOf(read(apart / "sweep.csv")), lines);
}

}  // namespace

namespace {

// A row says what it was flown from: a study changed in any shared setting, or
// its scenario's content, flies its cases again instead of keeping old rows.
TEST_F(Sweep, ChangedStudyFliesItsRowsAgain) {
    const std::string scenario = zolksim::kDefaultMissionText;
    write("tug.scn", scenario);
    std::string goal = "apoapsis >= 2300 km", days = "1.5", step = "20";
    const auto study = [&] {
        return write("s.toml", "scenario = \"tug.scn\"\ngoal = \"" + goal + "\"\ndays = " + days + "\nstep = " + step +
                                   "\nout = \"o\"\n[vary]\nthrust = [4]\n");
    };
    Outcome r = sweep({study()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("1 cases, 1 flown now"), std::string::npos) << r.out;
    r = sweep({study()});
    EXPECT_NE(r.out.find("0 flown now"), std::string::npos) << "an unchanged study flies nothing again: " << r.out;

    const std::string heavier = scenario.substr(0, scenario.find("EMPTY_MASS 1000")) + "EMPTY_MASS 1001" +
                                scenario.substr(scenario.find("EMPTY_MASS 1000") + 15);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"goal", [&] { goal = "apoapsis >= 2200 km"; }},
        {"days", [&] { days = "1.25"; }},
        {"step", [&] { step = "30"; }},
        {"scenario", [&] { write("tug.scn", heavier); }},
    };
    for (const auto& [what, change] : changes) {
        change();
        r = sweep({study()});
        ASSERT_EQ(r.status, 0) << what << ": " << r.err;
        EXPECT_NE(r.out.find("1 cases, 1 flown now"), std::string::npos) << what << " changed: " << r.out;
        EXPECT_NE(r.out.find("1 of them again"), std::string::npos) << what << " changed: " << r.out;
    }
    // The last row is the changed study's: its goal met, at 2200 km or more.
    const std::string row = read(folder / "o" / "sweep.csv");
    EXPECT_NE(row.find("\n0,4,yes,"), std::string::npos) << row;
}

}  // namespace

namespace {

// sweep.csv read by a program: each column found by its header name.
std::vector<std::map<std::string, std::string>> csvRecords(const std::string& csv) {
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    std::vector<std::string> names;
    std::istringstream header(line);
    for (std::string name; std::getline(header, name, ',');) names.push_back(name);
    std::vector<std::map<std::string, std::string>> records;
    while (std::getline(in, line)) {
        std::istringstream fields(line + ",");
        std::map<std::string, std::string>& record = records.emplace_back();
        for (const std::string& name : names) std::getline(fields, record[name], ',');
    }
    return records;
}

// The figures land in their own columns, and two runs of one study write the
// same bytes: the wall times go to timing.csv. An empty tank holds the
// starting orbit (but for the oblateness's swing); a full one's delta-v is the
// rocket equation's for the propellant it burned.
TEST_F(Sweep, TableHoldsEachFigureInItsColumnAndRunsCompareByteForByte) {
    const std::string study = write("s.toml",
                                    "goal = \"apoapsis >= 9000 km\"\ndays = 0.3\nstep = 10\n"
                                    "[vary]\npropellant = [0, 400]\nperiapsis = [500]\napoapsis = [3000]\n");
    ASSERT_EQ(sweep({study, "--quiet", "--out", (folder / "a").string()}).status, 0);
    ASSERT_EQ(sweep({study, "--quiet", "--out", (folder / "b").string()}).status, 0);
    const std::string csv = read(folder / "a" / "sweep.csv");
    EXPECT_EQ(read(folder / "b" / "sweep.csv"), csv);
    EXPECT_EQ(csv.find("wall"), std::string::npos) << csv;
    const std::string timing = read(folder / "a" / "timing.csv");
    EXPECT_EQ(timing.rfind("case,wall_s\n0,", 0), 0u) << timing;
    EXPECT_NE(timing.find("\n1,"), std::string::npos) << timing;

    const auto records = csvRecords(csv);
    ASSERT_EQ(records.size(), 2u) << csv;
    const auto figure = [&](std::size_t c, const char* column) { return std::stod(records[c].at(column)); };
    // J2 swings the osculating altitudes of this orbit by some 10 km in 0.3 d.
    constexpr double kOblatenessSwing = 30.0;  // km
    EXPECT_EQ(figure(0, "propellant_used_kg"), 0.0);
    EXPECT_EQ(figure(0, "delta_v_used_m_per_s"), 0.0);
    EXPECT_NEAR(figure(0, "final_periapsis_km"), 500.0, kOblatenessSwing);
    EXPECT_NEAR(figure(0, "final_apoapsis_km"), 3000.0, kOblatenessSwing);

    constexpr double kDryMass = 1000, kTank = 400, kIsp = 30000;  // kg, kg, N s/kg: the scenario's
    const double used = figure(1, "propellant_used_kg");
    ASSERT_GT(used, 0.5);
    // Propellant and delta-v are rounded to 1e-4 kg and 1e-3 m/s.
    EXPECT_NEAR(figure(1, "delta_v_used_m_per_s"), kIsp * std::log((kDryMass + kTank) / (kDryMass + kTank - used)), 0.01);
    EXPECT_GT(figure(1, "final_apoapsis_km"), figure(0, "final_apoapsis_km") + 10.0);
}

}  // namespace

namespace {

// A case that cannot be flown is found when the study is read, before any case
// flies, and named with its values.
TEST_F(Sweep, ImpossibleCasesAreRefusedWhenTheStudyIsRead) {
    const std::string head = "goal = \"apoapsis >= 3000 km\"\ndays = 1\nout = \"o\"\n[vary]\n";
    // The scenario's tug: a 400 kg tank, 400.0 by 2001.9 km.
    const std::pair<const char*, const char*> refused[] = {
        {"periapsis = [1500, 500]\napoapsis = [3000, 1000]\n", "case 1 (periapsis 1500 km, apoapsis 1000 km)"},
        {"periapsis = [2500]\n", "the periapsis 2500 km lies above the apoapsis 2001.9 km"},
        {"apoapsis = [300]\n", "the periapsis 400.0 km lies above the apoapsis 300 km"},
        {"propellant = [100, 401]\n", "propellant 401 kg is more than the tanks hold (400 kg)"},
        {"step = [1e-6]\n", "too many steps"},
    };
    for (const auto& [vary, said] : refused) {
        const std::string study = write("s.toml", head + vary);
        const zolksim::StudyLoad load = zolksim::loadStudy(study);
        EXPECT_FALSE(load.ok) << vary;
        EXPECT_NE(load.error.find(said), std::string::npos) << load.error;
        const Outcome r = sweep({study});
        EXPECT_EQ(r.status, 2) << vary;
        EXPECT_FALSE(fs::exists(folder / "o")) << "nothing flown for " << vary;
    }
    EXPECT_TRUE(zolksim::loadStudy(write("s.toml", head + "propellant = [400]\nperiapsis = [2000]\n")).ok)
        << "a full tank, and a circular orbit, are cases like any other";
}

// "Run it again" only where running again can help: a worker that could not
// write its row, not a case that fails however often it is flown.
TEST_F(Sweep, RunAgainAdviceOnlyForCasesThatCouldSucceed) {
    const std::string study = write("s.toml", "goal = \"apoapsis >= 2300 km\"\ndays = 1\nstep = 20\nout = \"o\"\n"
                                              "[vary]\nthrust = [3, 4]\n");
    fs::create_directories(folder / "o" / "rows" / "case-0.csv" / "in-the-way");
    Outcome r = sweep({study});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("run the study again to fly only those"), std::string::npos) << r.err;
    fs::remove_all(folder / "o");

    std::vector<std::string> args = {"zolksim", "sweep", study, "--module", (folder / "no-such-module.so").string()};
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    EXPECT_EQ(zolksim::runZolksim(static_cast<int>(argv.size()), argv.data(), out, err), 1);
    EXPECT_EQ(err.str().find("run the study again"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("2 case(s) cannot be flown"), std::string::npos) << err.str();
}

}  // namespace

namespace {

// Cases grouped per task: a range flies each of its cases, as one-by-one does,
// the end past the last case meaning the last; --list groups its lines so.
TEST_F(Sweep, CaseRangesFlyTheirCasesAndListGroupsThem) {
    const std::string study = write("s.toml", "goal = \"apoapsis >= 2300 km\"\ndays = 1\nstep = 20\n"
                                              "[vary]\nthrust = [2, 3, 4, 5, 6]\n");
    const std::string one = (folder / "one").string(), ranged = (folder / "ranged").string();
    ASSERT_EQ(sweep({study, "--quiet", "--workers", "2", "--out", one}).status, 0);
    ASSERT_EQ(sweep({study, "--case", "0-1", "--out", ranged}).status, 0);
    EXPECT_FALSE(fs::exists(fs::path(ranged) / "rows" / "case-2.csv")) << "0-1 is cases 0 and 1";
    ASSERT_EQ(sweep({study, "--case", "2-99", "--out", ranged}).status, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(ranged) / "rows"), fs::directory_iterator()), 5)
        << "2-99 of five cases is cases 2 to 4";
    ASSERT_EQ(sweep({study, "--collect", ranged + "/rows", "--out", ranged, "--quiet"}).status, 0);
    EXPECT_EQ(read(fs::path(ranged) / "sweep.csv"), read(fs::path(one) / "sweep.csv"));

    for (const char* bad : {"5", "5-9", "3-1", "1-", "-1", "1-2-3", "x", "1 - 2", ""}) {
        const Outcome r = sweep({study, "--case", bad, "--out", ranged});
        EXPECT_EQ(r.status, 2) << "--case " << bad << ": " << r.err;
    }
    EXPECT_EQ(sweep({study, "--workers", "0"}).status, 2) << "a bad option, as for any other";

    const Outcome listed = sweep({study, "--list", "--group", "2", "--out", ranged});
    ASSERT_EQ(listed.status, 0) << listed.err;
    std::vector<std::string> ranges;
    std::istringstream lines(listed.out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find(" --case ") + 8;
        ranges.push_back(line.substr(at, line.find(' ', at) - at));
    }
    EXPECT_EQ(ranges, (std::vector<std::string>{"0-1", "2-3", "4"}));
}

}  // namespace
