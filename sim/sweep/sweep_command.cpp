#include "sim/sweep/sweep_command.h"

#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>

#include <csignal>
#endif

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>
#include <thread>

#include "sim/pictures/orbit_plot.h"
#include "sim/pictures/raster_canvas.h"
#include "sim/pictures/svg_canvas.h"
#include "sim/run/command_line_exit.h"
#include "sim/run/process_id.h"
#include "sim/sample/dispersion_output.h"
#include "sim/sweep/case_range.h"
#include "sim/sweep/sweep_chart.h"
#include "sim/sweep/sweep_table.h"

namespace zolksim {

namespace {

namespace fs = std::filesystem;

constexpr int kExitFailed = 1, kExitBadInput = 2;
// --case: the case cannot be flown as the study gives it; flying it again will
// not help (unlike a write that failed, or a worker killed).
constexpr int kExitCaseCannotFly = 3;

struct SweepOptions {
    std::string studyPath, outDir, modulePath, collectDir;
    unsigned workers = 0;  // 0: one per core
    std::optional<std::string> cases;  // --case: N or A-B
    std::size_t group = 1; // --list: cases per line
    bool list = false, quiet = false;
};

// A word as a POSIX shell reads it back: quoted unless plainly safe.
std::string shellWord(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                               "0123456789_./:=+,@%-") == std::string::npos;
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A bar over the cases while a local study runs, on a terminal only.
class CaseProgress {
public:
    CaseProgress(bool enabled, std::size_t total) : enabled_(enabled), total_(total) {}
    void draw(std::size_t done, std::size_t running) const {
        if (!enabled_) return;
        constexpr int kWidth = 30;
        const int filled = total_ ? static_cast<int>(kWidth * done / total_) : kWidth;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        std::fprintf(stderr, "\r[%s%s] %zu/%zu cases, %zu running, %.0f s ", std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), done, total_, running, wall);
        std::fflush(stderr);
    }
    void finish() const {
        if (enabled_) std::fprintf(stderr, "\r%*s\r", 79, "");
    }

private:
    bool enabled_;
    std::size_t total_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// A worker of a study that is killed goes with it, rather than fly on unseen;
// its row, if half written, is a file aside that the next run clears away.
void diesWithParent(pid_t parent) {
#ifdef __linux__
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(1);  // the parent was gone before the line above
#else
    (void)parent;
#endif
}

class Sweep {
public:
    Sweep(SweepOptions options, std::string program, std::ostream& out, std::ostream& err, Terminal terminal)
        : o_(std::move(options)), program_(std::move(program)), out_(out), err_(err), terminal_(terminal) {}

    int go() {
        StudyLoad load = loadStudy(o_.studyPath);
        if (!load.ok) return fail(load.error, kExitBadInput);
        study_ = std::move(load.study);
        if (!o_.outDir.empty()) study_.outDir = o_.outDir;
        rows_ = (fs::path(study_.outDir) / "rows").string();
        if (o_.list) return list();
        if (o_.cases) return flyRange();
        if (!o_.collectDir.empty()) return collect(o_.collectDir, {});
        return flyAll();
    }

private:
    int list() {
        const std::string program = program_.find('/') == std::string::npos ? program_ : fs::absolute(program_).string();
        std::string tail = " --out " + shellWord(fs::absolute(study_.outDir).string());
        if (!o_.modulePath.empty()) tail += " --module " + shellWord(fs::absolute(o_.modulePath).string());
        const std::string head = shellWord(program) + " sweep " + shellWord(fs::absolute(o_.studyPath).string());
        for (std::size_t first = 0; first < study_.caseCount(); first += o_.group) {
            const CaseRange range{first, std::min(first + o_.group, study_.caseCount()) - 1};
            out_ << head << " --case " << caseRangeText(range) << tail << "\n";
        }
        return 0;
    }

    // --case: each case of the range in turn, every one tried; the status of
    // the worst (a case that cannot be flown above one that may on a rerun).
    int flyRange() {
        CaseRange range;
        std::string error;
        if (!parseCaseRange(*o_.cases, study_.caseCount(), range, error)) return fail(o_.studyPath + ": " + error, kExitBadInput);
        int worst = 0;
        for (std::size_t index = range.first; index <= range.last; ++index) {
            const int status = flyOne(index);
            if (status == kExitCaseCannotFly || worst == 0) worst = std::max(worst, status);
        }
        return worst;
    }

    int flyOne(std::size_t index) {
        std::error_code failed;
        fs::create_directories(rows_, failed);
        if (failed) return fail(rows_ + ": cannot make the folder: " + failed.message(), kExitFailed);
        CaseResult result;
        std::string error;
        if (!flyCase(study_, index, o_.modulePath, result, error))
            return fail("case " + std::to_string(index) + ": " + error, kExitCaseCannotFly);
        if (!writeWhole((fs::path(rows_) / rowFileName(index)).string(), sweepLine(study_, index, result) + "\n", error))
            return fail(error, kExitFailed);
        return 0;
    }

    // Every case lacking its row, flown on worker processes, then collected.
    int flyAll() {
        std::error_code failed;
        fs::create_directories(rows_, failed);
        if (failed) return fail(rows_ + ": cannot make the folder: " + failed.message(), kExitFailed);
        clearKilledWrites();
        std::vector<std::size_t> pending;
        std::size_t stale = 0;  // rows there, but flown from a study as it was
        for (std::size_t i = 0; i < study_.caseCount(); ++i) {
            SweepRow row;
            const RowState state = readRowFile(study_, i, (fs::path(rows_) / rowFileName(i)).string(), row);
            if (state != RowState::Current) pending.push_back(i);
            stale += state == RowState::Stale;
        }
        const std::size_t total = study_.caseCount(), earlier = total - pending.size();
        const unsigned workers = o_.workers ? o_.workers : std::max(1u, std::thread::hardware_concurrency());
        CaseProgress progress(terminal_.progress && !o_.quiet, total);
        std::set<pid_t> running;
        std::size_t next = 0, done = earlier;
        CaseFailures failures;
        out_.flush();
        err_.flush();
        std::fflush(nullptr);
        while (next < pending.size() || !running.empty()) {
            while (next < pending.size() && running.size() < workers) {
                const pid_t parent = getpid();
                const pid_t child = fork();
                if (child == 0) {
                    diesWithParent(parent);
                    _exit(flyOne(pending[next]));
                }
                if (child < 0) return fail("cannot start a worker process", kExitFailed);
                running.insert(child);
                ++next;
            }
            progress.draw(done, running.size());
            int status = 0;
            const pid_t ended = waitpid(-1, &status, 0);
            if (ended < 0) break;
            if (running.erase(ended) == 0) continue;  // not one of ours
            ++done;
            if (WIFEXITED(status) && WEXITSTATUS(status) == kExitCaseCannotFly) ++failures.hopeless;
            else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failures.retryable;
        }
        progress.finish();
        if (!o_.quiet)
            out_ << o_.studyPath << ": " << total << " cases, " << pending.size() << " flown now on " << workers
                 << " worker process(es)"
                 << (stale ? " (" + std::to_string(stale) + " of them again: their rows were flown from the study, "
                                                              "its scenario or the program as they were)"
                           : std::string())
                 << ", " << earlier << " done by an earlier run\n";
        return collect(rows_, failures);
    }

    // Files of writes that a killed case left half done.
    void clearKilledWrites() {
        std::error_code ignored;
        for (const fs::directory_entry& entry : fs::directory_iterator(rows_, ignored)) {
            const std::string name = entry.path().filename().string();
            const std::size_t at = name.rfind(".part-");
            if (at == std::string::npos) continue;
            try {
                if (!processRuns(std::stol(name.substr(at + 6)))) fs::remove(entry.path(), ignored);
            } catch (const std::exception&) {
            }
        }
    }

    // The cases of a local run that ended without their row.
    struct CaseFailures {
        std::size_t retryable = 0;  // a worker killed, a row not written: another run may fly them
        std::size_t hopeless = 0;   // the case itself cannot be flown
        bool any() const { return retryable + hopeless > 0; }
    };

    int collect(const std::string& folder, CaseFailures failures) {
        std::vector<std::string> problems;
        const std::map<std::size_t, SweepRow> rows = readRows(study_, folder, problems);
        for (const std::string& problem : problems) err_ << "zolksim: warning: " << problem << "\n";
        std::string text = sweepHeader(study_) + "\n", timing = timingHeader() + "\n";
        std::size_t met = 0;
        for (const auto& [index, row] : rows) {
            text += row.text + "\n";
            timing += timingLine(row) + "\n";
            met += row.met;
        }
        std::error_code failed;
        fs::create_directories(study_.outDir, failed);
        std::string error;
        const fs::path outDir(study_.outDir);
        std::vector<std::string> written;
        if (!writeWhole((outDir / "sweep.csv").string(), text, error)) return fail(error, kExitFailed);
        written.push_back("sweep.csv");
        if (!writeWhole((outDir / "timing.csv").string(), timing, error)) return fail(error, kExitFailed);
        written.push_back("timing.csv");
        if (sweepChartable(study_) && !rows.empty()) {
            for (const auto& [name, measure] : {std::pair{"time-to-goal", SweepMeasure::TimeToGoal},
                                                std::pair{"propellant", SweepMeasure::Propellant}}) {
                if (!writeChart(rows, measure, (outDir / name).string(), error)) return fail(error, kExitFailed);
                written.push_back(std::string(name) + ".png");
                written.push_back(std::string(name) + ".svg");
            }
        }
        if (study_.sample && !writeDispersionOutputs(study_, rows, study_.outDir, written, error))
            return fail(error, kExitFailed);
        const std::size_t missing = study_.caseCount() - rows.size();
        if (!o_.quiet) {
            out_ << rows.size() << " of " << study_.caseCount() << " cases have their row; " << met
                 << " met the goal \"" << study_.goal.text() << "\" within " << study_.limitDays << " days.\n";
            if (!sweepChartable(study_) && !study_.sample) out_ << "No pictures: they show one or two varied parameters.\n";
            out_ << "Written to " << study_.outDir << ":";
            for (const std::string& name : written) out_ << " " << name;
            out_ << "\n";
        }
        if (missing == 0 && !failures.any()) return 0;
        err_ << "zolksim: " << missing << " case(s) lack their row";
        if (missing > 0) err_ << ", first case " << firstMissing(rows);
        if (!o_.collectDir.empty()) err_ << "; fly them (--case) and collect again";
        if (failures.retryable > 0)
            err_ << "; " << failures.retryable << " could not be finished, run the study again to fly only those";
        if (failures.hopeless > 0)
            err_ << "; " << failures.hopeless << " case(s) cannot be flown as the study stands (the reasons are above), "
                 << "and flying them again will not help";
        err_ << "\n";
        return kExitFailed;
    }

    std::size_t firstMissing(const std::map<std::size_t, SweepRow>& rows) const {
        std::size_t i = 0;
        while (rows.count(i)) ++i;
        return i;
    }

    bool writeChart(const std::map<std::size_t, SweepRow>& rows, SweepMeasure measure, const std::string& base,
                    std::string& error) {
        RasterCanvas raster(kPlotWidth, kPlotHeight);
        drawSweepChart(study_, rows, measure, raster);
        const std::string aside = base + ".png.part-" + std::to_string(currentProcessId());
        if (!raster.writePng(aside, error)) return false;
        std::error_code failed;
        fs::rename(aside, base + ".png", failed);
        if (failed) {
            error = base + ".png: cannot move the file into place";
            return false;
        }
        SvgCanvas svg(kPlotWidth, kPlotHeight);
        drawSweepChart(study_, rows, measure, svg);
        return writeWhole(base + ".svg", svg.document(), error);
    }

    int fail(const std::string& message, int status) {
        err_ << "zolksim: " << message << "\n";
        err_.flush();
        return status;
    }

    SweepOptions o_;
    std::string program_;
    std::ostream& out_;
    std::ostream& err_;
    Terminal terminal_;
    Study study_;
    std::string rows_;  // the folder of the cases' own rows
};

}  // namespace

int runSweep(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Terminal terminal) {
    SweepOptions o;
    CLI::App app{"Flies every case of a trade study until its goal or limit and writes sweep.csv and pictures "
                 "(docs/sweep.md).",
                 "zolksim sweep"};
    app.add_option("study", o.studyPath, "The study file (TOML)")->required();
    app.add_option("--out", o.outDir, "Folder for the rows, sweep.csv and the pictures (default: the study's)");
    app.add_option("--workers,-j", o.workers, "Worker processes (default: one per core)")->check(CLI::Range(1u, 4096u));
    app.add_option("--module", o.modulePath, "The module to load (default: the one built beside zolksim)");
    app.add_flag("--quiet,-q", o.quiet, "No progress bar or report; problems only");
    CLI::Option* listOption = app.add_flag("--list", o.list, "Print command lines to run elsewhere, one per case (or per --group)");
    app.add_option("--group", o.group, "With --list: cases per line, as a range (default 1)")
        ->check(CLI::Range(std::size_t{1}, std::size_t{1} << 40))
        ->needs(listOption);
    CLI::Option* caseOption =
        app.add_option("--case", o.cases, "Fly case N, or cases A-B, alone and write their row files")->excludes(listOption);
    app.add_option("--collect", o.collectDir, "Merge the row files in DIR into sweep.csv")
        ->excludes(listOption)
        ->excludes(caseOption);
    try {
        app.parse(argc - 1, argv + 1);
    } catch (const CLI::ParseError& e) {
        return commandLineExit(app, e, out, err);
    }
    return Sweep(std::move(o), argv[0], out, err, terminal).go();
}

}  // namespace zolksim
