// zolksim end to end through its library entry point: the real module loaded
// from its shared library, the mission flown, the pilot's script played and
// the output folder written (or, on a failure, left untouched).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/physics/physical_constants.h"
#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/run/command_line.h"
#include "sim/run/default_mission.h"
#include "sim/run/process_id.h"
#include "tests/sim/runner_fixture.h"
#include "sim/run/run.h"

namespace {

using namespace runner_fixture;
namespace fs = std::filesystem;

constexpr double kKm = 1000.0;

// The built-in mission raises the far side of the orbit, burning round periapsis.
TEST_F(Runner, DefaultMissionRaisesTheApoapsisFarMoreThanThePeriapsis) {
    const Outcome r = run({"--days", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name : {"page.png", "page.svg", "orbit.png", "orbit.svg", "final.scn", "summary.txt",
                             "summary.json", "history.csv"})
        EXPECT_TRUE(fs::exists(out() / name)) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(out()), fs::directory_iterator{}), 8) << "no staging left";

    // Start: 400 km x 2000 km above Earth's 6371 km mean radius.
    const ORBITPARAM end = savedOrbit(out() / "final.scn");
    const double apoapsisGain = end.ApD - (6371 + 2000) * kKm;
    const double periapsisGain = end.PeD - (6371 + 400) * kKm;
    EXPECT_GT(apoapsisGain, 500 * kKm);
    EXPECT_LT(std::abs(periapsisGain), apoapsisGain / 5);

    // The page in the terminal and the summary tell the same story.
    EXPECT_NE(r.out.find("Attitude Hold"), std::string::npos);
    EXPECT_NE(r.out.find("apoapsis altitude           2001.9 km"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\x1b["), std::string::npos) << "no colour codes off a terminal";
}

TEST_F(Runner, ScriptedThrustEntryIsSavedAndARefusedOneChangesNothing) {
    const std::string script = write("pilot.txt",
                                     "# raise the thrust, then try nonsense\n"
                                     "10 button ENG\n"
                                     "10 type 250000\n"
                                     "20 key N\n"
                                     "20 type lots\n"
                                     "20 cancel\n"
                                     "30 save mid.scn\n");
    const Outcome r = run({"--seconds", "60", "--script", script});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("pilot.txt:5: type \"lots\": refused"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("pilot.txt:3: type \"250000\": accepted"), std::string::npos) << r.out;
    EXPECT_NE(read(out() / "final.scn").find("MOT 250000.0\n"), std::string::npos);
    EXPECT_NE(read(out() / "mid.scn").find("MOT 250000.0\n"), std::string::npos);
    EXPECT_NE(r.out.find("250000.000 N"), std::string::npos) << "the page shows the new thrust";
}

TEST_F(Runner, BadInputFailsNamingTheLineAndWritesNothing) {
    const std::string badScript = write("bad.txt", "0 key A\n5 press B\n");
    Outcome r = run({"--seconds", "10", "--script", badScript});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("bad.txt:2: unknown action 'press'"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out()));

    const std::string badScenario = write("bad.scn", "BEGIN_SHIPS\nTug\n  EMPTY_MASS heavy\nEND\nEND_SHIPS\n");
    r = run({badScenario, "--seconds", "10"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("bad.scn:3:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out()));

    r = run({(folder / "missing.scn").string()});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("missing.scn"), std::string::npos) << r.err;

    // A tank cannot hold more than its capacity (5000 kg in a 400 kg tank).
    const std::string overfilled = write("full.scn", "BEGIN_SHIPS\nTug\n  EMPTY_MASS 1000\n  TANK 400 5000\nEND\nEND_SHIPS\n");
    r = run({overfilled, "--seconds", "10"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("full.scn:4: TANK: 5000 kg of propellant is more than the tank's capacity of 400 kg"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(out()));

    // A folder that already holds files keeps exactly those.
    fs::create_directories(out());
    std::ofstream(out() / "keep.txt") << "mine";
    r = run({badScenario});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(out()), fs::directory_iterator{}), 1);
}

// Every mistake ends with status 2, whatever CLI11 would say (105 a refused
// value, 106 excluded options, 109 an unknown option, 114 extra arguments).
TEST_F(Runner, CommandLineMistakesAreRefused) {
    EXPECT_EQ(run({"--days", "1", "--seconds", "5"}).status, 2);
    EXPECT_EQ(run({"--step", "0"}).status, 2);
    EXPECT_EQ(run({"--days", "-2"}).status, 2);
    EXPECT_EQ(run({"--days", "1e300", "--step", "1e-300"}).status, 2);
    EXPECT_EQ(run({"--no-such-option"}).status, 2);
    EXPECT_EQ(run({"a.scn", "b.scn"}).status, 2);
    EXPECT_EQ(run({"--port", "80"}).status, 2);
    EXPECT_EQ(run({"--version"}).status, 0);
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--script"), std::string::npos);
    EXPECT_FALSE(fs::exists(out()));

    // An empty name names nothing: refused, not taken for the default (or, for
    // --out, for a folder that cannot be made).
    for (std::vector<const char*> argv : {std::vector<const char*>{"zolksim", "--out", ""},
                                          std::vector<const char*>{"zolksim", "--script", ""},
                                          std::vector<const char*>{"zolksim", "--module", ""},
                                          std::vector<const char*>{"zolksim", ""}}) {
        std::ostringstream said, err;
        const zolksim::ParsedCommandLine parsed =
            zolksim::parseCommandLine(static_cast<int>(argv.size()), argv.data(), said, err);
        EXPECT_FALSE(parsed.run) << argv[1];
        EXPECT_NE(parsed.exitCode, 0);
        EXPECT_NE(err.str().find("must name a file or folder"), std::string::npos) << err.str();
    }
}

// --until ends the run on the first step meeting the goal: the state one step
// earlier, flown without a goal, does not meet it.
TEST_F(Runner, UntilStopsOnTheFirstStepMeetingTheGoal) {
    const Outcome r = run({"--until", "apoapsis >= 5000 km", "--step", "10", "--days", "12", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string summary = read(out() / "summary.txt");
    const std::size_t at = summary.find("Goal \"apoapsis >= 5000 km\" met at step ");
    ASSERT_EQ(at, 0u) << summary;
    const long step = std::stol(summary.substr(summary.find("step ") + 5));
    EXPECT_NE(summary.find(" after the start, on 2024-12-"), std::string::npos) << summary;
    EXPECT_GE(savedOrbit(out() / "final.scn").ApD - simhost::kRadiusEarth, 5000 * kKm);

    ASSERT_EQ(run({"--seconds", std::to_string((step - 1) * 10), "--step", "10", "--quiet"}).status, 0);
    EXPECT_LT(savedOrbit(out() / "final.scn").ApD - simhost::kRadiusEarth, 5000 * kKm);

    // The periapsis in km too: the start's 400 km does not meet 410 km.
    ASSERT_EQ(run({"--until", "periapsis >= 410 km", "--step", "10", "--days", "3", "--quiet"}).status, 0);
    EXPECT_EQ(read(out() / "summary.txt").find("met at step 0,"), std::string::npos);
    const double periapsis = savedOrbit(out() / "final.scn").PeD - simhost::kRadiusEarth;
    EXPECT_GE(periapsis, 410 * kKm);
    EXPECT_LT(periapsis, 411 * kKm);
}

// A goal that cannot be read stops the run before anything flies, naming the
// word; one not met in time says so and has its own status.
TEST_F(Runner, UntilRefusesAMalformedGoalAndReportsAnUnmetOne) {
    Outcome r = run({"--until", "apoapsis >= 5000 kg"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot read 'kg'"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out()));

    r = run({"--until", "propellant <= 50 kg or days >= 1", "--seconds", "600", "--step", "10"});
    EXPECT_EQ(r.status, zolksim::kExitGoalUnmet);
    EXPECT_NE(r.out.find("not met within the limit of 0d 00:10:00"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(out() / "final.scn"));
}

// Steps too coarse for the orbit are refused before anything flies; a path
// into the body stops the run where it hit, with its own status, and no goal
// is met on it.
TEST_F(Runner, CoarseStepsAreRefusedAndAHitStopsTheRun) {
    Outcome r = run({"--step", "300"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("a step of 300 s is too coarse at 400 km above Earth"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out()));

    // 7000 m/s at 400 km: the tug falls into Earth within 13 minutes.
    std::string scenario = zolksim::kDefaultMissionText;
    scenario.replace(scenario.find("RVEL 0 8068.2 0"), 15, "RVEL 0 7000 0");
    r = run({write("fall.scn", scenario), "--until", "periapsis > 9000 km or days >= 1", "--step", "10"});
    EXPECT_EQ(r.status, zolksim::kExitHitBody) << r.err;
    EXPECT_NE(r.err.find("Ion Tug hit the surface of Earth 0d 00:12:"), std::string::npos) << r.err;
    const std::string summary = read(out() / "summary.txt");
    EXPECT_EQ(summary.rfind("Stopped at step 75: Ion Tug hit the surface of Earth, 0d 00:12:", 0), 0u) << summary;
    EXPECT_NE(summary.find("Goal \"periapsis > 9000 km or days >= 1\" not met.\n"), std::string::npos) << summary;
}

// The parser is built once and kept: nothing of one command line stays for the next.
TEST_F(Runner, EachCommandLineIsReadAfresh) {
    auto parse = [](std::vector<const char*> argv) {
        std::ostringstream said, err;
        return zolksim::parseCommandLine(static_cast<int>(argv.size()), argv.data(), said, err);
    };
    const zolksim::ParsedCommandLine first = parse({"zolksim", "a.scn", "--days", "3", "--script", "s.txt", "--quiet"});
    ASSERT_TRUE(first.run);
    EXPECT_EQ(first.options.duration, 3 * simhost::kSecondsPerDay);
    const zolksim::ParsedCommandLine second = parse({"zolksim", "--seconds", "5"});
    ASSERT_TRUE(second.run);  // --days of the line before does not exclude --seconds
    EXPECT_EQ(second.options.duration, 5.0);
    EXPECT_EQ(second.options.scenarioPath, "");
    EXPECT_EQ(second.options.scriptPath, "");
    EXPECT_FALSE(second.options.quiet);
    EXPECT_EQ(parse({"zolksim"}).options.duration, zolksim::kDefaultDays * simhost::kSecondsPerDay);
}

// A run that ends between steps stops exactly at its end, actions at the end included.
TEST_F(Runner, LastStepIsShortenedAndEndActionsAreDone) {
    const std::string script = write("end.txt", "7 save end.scn\n8 key A\n");
    const Outcome r = run({"--seconds", "7", "--step", "3", "--script", script, "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find("end.txt:2: 1 action(s)"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(out() / "end.scn"));
    EXPECT_EQ(read(out() / "summary.txt").rfind("Flew 0d 00:00:07 of simulated time in 3 steps of 3 s", 0), 0u);
}

}  // namespace
