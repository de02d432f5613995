#include "sim/run/run.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string_view>

#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/run/command_line.h"
#include "sim/run/default_mission.h"
#include "sim/run/flight.h"
#include "sim/run/module_path.h"
#include "sim/pictures/orbit_plot.h"
#include "sim/output/history_csv.h"
#include "sim/output/output_folder.h"
#include "sim/output/summary_json.h"
#include "sim/pictures/page_picture.h"
#include "sim/pictures/raster_canvas.h"
#include "sim/run/summary.h"
#include "sim/pictures/svg_canvas.h"
#include "sim/pictures/terminal_page.h"
#ifdef ZOLK_HAVE_COCKPIT
#include "sim/cockpit/serve.h"
#endif
#ifdef ZOLK_HAVE_SWEEP
#include "sim/solve/solve_command.h"
#include "sim/sweep/sweep_command.h"
#endif

namespace zolksim {

namespace {

constexpr int kExitFailed = 1, kExitBadInput = 2;
constexpr std::size_t kWarningsShown = 20;  // about the scenario; the rest are counted

// The world is the process's one world: start each run from nothing and leave
// nothing loaded behind (tests run several in one process).
struct WorldSession {
    WorldSession() { simhost::world().reset(); }
    ~WorldSession() { simhost::world().reset(); }
};

bool writeText(const std::string& path, const std::string& text, std::string& error) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) error = path + ": cannot write the file";
    return static_cast<bool>(file);
}

// The pictures of one canvas drawing: a PNG and an SVG under the base name.
template <typename Draw>
bool writePicture(OutputFolder& folder, const std::string& base, int width, int height, Draw draw, std::string& error) {
    RasterCanvas raster(width, height);
    draw(raster);
    if (!raster.writePng(folder.stage(base + ".png"), error)) return false;
    SvgCanvas svg(width, height);
    draw(svg);
    return writeText(folder.stage(base + ".svg"), svg.document(), error);
}

class Run {
public:
    Run(const RunOptions& options, std::ostream& out, std::ostream& err, Terminal terminal)
        : o_(options), out_(out), err_(err), terminal_(terminal) {}

    int go() {
        if (int status = prepare(); status != 0) return status;

        Flight flight(o_.duration, o_.step);
        OrbitTrack track = OrbitTrack::forRun(*vessel_, *body_, flight.stepCount(), o_.duration);
        Pilot pilot(std::move(actions_), [this](const std::string& name) {
            std::string why;
            simhost::saveScenarioFile(folder_.stage(name), why, description_);
            return why;
        });
        ProgressBar progress(stderr, terminal_.progress && !o_.quiet, o_.duration);

        OrbitHistory history(*vessel_, *body_);
        flight.record(&history);
        std::optional<GoalWatch> goal;
        if (o_.goal) {
            goal.emplace(*o_.goal, *vessel_, *body_, &history);
            flight.stopAt(&*goal);
        }

        RunFigures figures;
        figures.vesselName = vessel_->name;
        figures.bodyName = body_->name;
        figures.duration = o_.duration;
        figures.step = o_.step;
        figures.propellantStart = propellantOf(*vessel_);
        flight.fly(pilot, track, progress, [&] { figures.deltaVBefore = shownDeltaV(pilot); });
        figures.wallSeconds = progress.wallSeconds();
        figures.duration = simhost::world().simTime();  // as flown
        figures.mjdEnd = simhost::world().mjd();
        figures.steps = flight.stepsFlown();
        if (goal) {
            figures.goal = goal->condition().text();
            figures.goalMet = goal->met();
            figures.goalCrossing = goal->crossingTime();
            figures.goalOnMeans = goal->condition().needsMeans();
        }
        if (flight.end() == FlightEnd::HitBody || flight.end() == FlightEnd::StepTooCoarse) {
            figures.stopped = flight.stopReason();
            figures.stopTime = flight.stopTime();
        }
        figures.propellantEnd = propellantOf(*vessel_);
        figures.burnTime = track.burnTime();
        figures.burnCount = track.burnCount();
        if (track.samples().size() >= 2) {
            figures.hasOrbit = true;
            figures.start = track.samples().front();
            figures.end = track.samples().back();
        }
        report(pilot);

        // The page as the pilot's display shows it at the end, if one is open.
        std::optional<PageView> page;
        if (simhost::Display* display = simhost::world().cockpit().display(pilot.displayPosition())) {
            page = capturePage(*display);
            figures.deltaVAfter = valueBelow(*page, "Main Eng.dV");
        }
        const RunEnd end = flight.end() == FlightEnd::HitBody         ? RunEnd::HitBody
                           : flight.end() == FlightEnd::StepTooCoarse ? RunEnd::StepTooCoarse
                           : !goal                                    ? RunEnd::Completed
                           : goal->met()                              ? RunEnd::GoalMet
                                                                      : RunEnd::GoalNotMet;
        const int status = end == RunEnd::HitBody         ? kExitHitBody
                           : end == RunEnd::StepTooCoarse ? kExitStepTooCoarse
                           : end == RunEnd::GoalNotMet    ? kExitGoalUnmet
                                                          : 0;
        const std::string summary = runSummary(figures);
        if (int failed = writeOutputs(page, track, summary, historyCsv(history),
                                      summaryJson(figures, history, end, status));
            failed != 0)
            return failed;
        show(page, summary);
        if (!figures.stopped.empty())
            err_ << "zolksim: " << figures.stopped << " " << clockText(figures.stopTime)
                 << " after the start; the run stopped there\n";
        else if (end == RunEnd::GoalNotMet && o_.quiet)
            err_ << "zolksim: goal \"" << goal->condition().text() << "\" not met within the limit\n";
        return status;
    }

private:
    // Everything read and checked before anything is flown or written.
    int prepare() {
        if (o_.duration / o_.step > kMaxSteps) {
            err_ << "zolksim: " << o_.duration / o_.step << " steps is too many; take a longer --step\n";
            return kExitBadInput;
        }
        if (!o_.scriptPath.empty()) {
            ScriptParse script = loadPilotScript(o_.scriptPath);
            if (!script.ok) return fail(script.error, kExitBadInput);
            actions_ = std::move(script.actions);
        }
        if (int status = loadModule(); status != 0) return status;
        if (int status = loadScenario(); status != 0) return status;

        vessel_ = simhost::world().focus();
        if (!vessel_) return fail(scenarioName() + ": no vessel has the focus, so there is nothing to fly", kExitBadInput);
        body_ = dominantBodyOf(*vessel_);
        if (!body_) return fail(scenarioName() + ": the scenario has no bodies, so there is no orbit to follow", kExitBadInput);
        if (const std::string why = unsoundStartReason(*vessel_, *body_, o_.step); !why.empty())
            return fail(scenarioName() + ": " + why, kExitBadInput);

        std::string error;
        if (!folder_.open(o_.outDir, error)) return fail(error, kExitFailed);
        return 0;
    }

    // The pictures, the final scenario and the summary, moved into place together.
    int writeOutputs(const std::optional<PageView>& page, const OrbitTrack& track, const std::string& summary,
                     const std::string& history, const std::string& summaryForPrograms) {
        std::string error;
        if (page) {
            const PictureSize size = pagePictureSize(*page);
            if (!writePicture(folder_, "page", size.width, size.height, [&](Canvas& c) { drawPagePicture(*page, c); },
                              error))
                return fail(error, kExitFailed);
        }
        if (!writePicture(folder_, "orbit", kPlotWidth, kPlotHeight,
                          [&](Canvas& c) { drawOrbitPlot(track, vessel_->name, o_.duration, c); }, error))
            return fail(error, kExitFailed);
        if (!simhost::saveScenarioFile(folder_.stage("final.scn"), error, description_)) return fail(error, kExitFailed);
        if (!writeText(folder_.stage("summary.txt"), summary, error) ||
            !writeText(folder_.stage("summary.json"), summaryForPrograms, error) ||
            !writeText(folder_.stage("history.csv"), history, error))
            return fail(error, kExitFailed);
        if (!folder_.commit(error)) return fail(error, kExitFailed);
        return 0;
    }

    void show(const std::optional<PageView>& page, const std::string& summary) {
        if (o_.quiet) return;
        out_ << "\n";
        if (page) out_ << terminalPage(*page, terminal_.colour) << "\n";
        else out_ << "No display is open, so there is no page to show.\n\n";
        out_ << summary << "\nWritten to " << folder_.folder().string() << ":";
        for (const std::string& name : folder_.committed()) out_ << " " << name;
        out_ << "\n";
    }

    int fail(const std::string& message, int status) {
        folder_.abandon();
        err_ << "zolksim: " << message << "\n";
        return status;
    }

    std::string scenarioName() const { return o_.scenarioPath.empty() ? kDefaultMissionName : o_.scenarioPath; }

    int loadModule() {
        const std::string path = o_.modulePath.empty() ? defaultModulePath() : o_.modulePath;
        if (path.empty()) return fail("cannot find the module beside zolksim; name it with --module", kExitFailed);
        std::string error;
        if (!simhost::world().modules().load(path, error)) return fail(path + ": " + error, kExitFailed);
        return 0;
    }

    int loadScenario() {
        const simhost::ScenarioLoad load = o_.scenarioPath.empty()
                                               ? simhost::loadScenarioText(kDefaultMissionText, kDefaultMissionName)
                                               : simhost::loadScenarioFile(o_.scenarioPath);
        if (!load.ok) return fail(simhost::messageText(load.error), kExitBadInput);
        // A file that is not a scenario at all (binary, say) can give a warning
        // for every line: the first few say what is wrong.
        const std::size_t shown = std::min(load.warnings.size(), kWarningsShown);
        for (std::size_t i = 0; i < shown; ++i)
            err_ << "zolksim: warning: " << simhost::messageText(load.warnings[i]) << "\n";
        if (load.warnings.size() > shown)
            err_ << "zolksim: warning: " << load.warnings.size() - shown << " more warnings about "
                 << scenarioName() << " not shown\n";
        description_ = load.description;
        return 0;
    }

    std::string shownDeltaV(const Pilot& pilot) {
        simhost::Display* display = simhost::world().cockpit().display(pilot.displayPosition());
        return display ? valueBelow(capturePage(*display), "Main Eng.dV") : std::string{};
    }

    void report(const Pilot& pilot) {
        for (const PilotEvent& event : pilot.events()) {
            if (event.problem) err_ << "zolksim: at " << clockText(event.time) << ": " << event.text << "\n";
            else if (!o_.quiet) out_ << "at " << clockText(event.time) << ": " << event.text << "\n";
        }
        if (pilot.pending() > 0) {
            const PilotAction& first = pilot.actions()[pilot.nextAction()];
            err_ << "zolksim: " << first.source << ":" << first.line << ": " << pilot.pending()
                 << " action(s) from here on lie beyond the end of the run and were not done\n";
        }
    }

    const RunOptions& o_;
    std::ostream& out_;
    std::ostream& err_;
    Terminal terminal_;
    OutputFolder folder_;
    std::string description_;            // the scenario's, kept in the scenarios saved
    std::vector<PilotAction> actions_;   // the script's, until the pilot takes them
    simhost::Vessel* vessel_ = nullptr;  // the focus vessel, followed through the run
    const simhost::Body* body_ = nullptr;
};

}  // namespace

int runZolksim(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Terminal terminal) {
    if (argc > 1 && std::string_view(argv[1]) == "sweep") {
#ifdef ZOLK_HAVE_SWEEP
        return runSweep(argc, argv, out, err, terminal);
#else
        err << "zolksim: this build has no trade studies (sweep)\n";
        return kExitFailed;
#endif
    }
    if (argc > 1 && std::string_view(argv[1]) == "solve") {
#ifdef ZOLK_HAVE_SWEEP
        return runSolve(argc, argv, out, err);
#else
        err << "zolksim: this build has no targeting (solve)\n";
        return kExitFailed;
#endif
    }
    const ParsedCommandLine parsed = parseCommandLine(argc, argv, out, err);
    if (!parsed.run) return parsed.exitCode;
    if (parsed.options.serve) {
#ifdef ZOLK_HAVE_COCKPIT
        return serveCockpit(parsed.options, out, err);
#else
        err << "zolksim: this build has no live cockpit (--serve)\n";
        return kExitFailed;
#endif
    }
    WorldSession session;
    return Run(parsed.options, out, err, terminal).go();
}

}  // namespace zolksim
