#include "sim/sample/dispersion_output.h"

#include <cstdio>
#include <filesystem>

#include "sim/pictures/orbit_plot.h"
#include "sim/pictures/raster_canvas.h"
#include "sim/pictures/svg_canvas.h"
#include "sim/run/process_id.h"
#include "sim/sample/dispersion_chart.h"
#include "sim/sample/dispersion_report.h"
#include "sim/sample/sample_plan.h"

namespace zolksim {

namespace {

namespace fs = std::filesystem;

bool writeChart(const std::vector<double>& values, std::size_t total, const std::string& label,
                const std::string& title, const std::string& base, std::string& error) {
    RasterCanvas raster(kPlotWidth, kPlotHeight);
    drawDispersionChart(values, total, label, title, raster);
    const std::string aside = base + ".png.part-" + std::to_string(currentProcessId());
    if (!raster.writePng(aside, error)) return false;
    std::error_code failed;
    fs::rename(aside, base + ".png", failed);
    if (failed) {
        error = base + ".png: cannot move the file into place";
        return false;
    }
    SvgCanvas svg(kPlotWidth, kPlotHeight);
    drawDispersionChart(values, total, label, title, svg);
    return writeWhole(base + ".svg", svg.document(), error);
}

}  // namespace

bool writeDispersionOutputs(const Study& study, const std::map<std::size_t, SweepRow>& rows,
                            const std::string& outDir, std::vector<std::string>& written, std::string& error) {
    std::vector<DispersionOutcome> outcomes;
    for (const auto& [index, row] : rows) outcomes.push_back({row.met, row.timeToGoalDays, row.propellantUsedKg});
    const std::size_t total = study.caseCount();
    char limit[32];
    std::snprintf(limit, sizeof limit, "%g", study.limitDays);
    const std::string conditions = std::to_string(total) + " cases drawn with seed " +
                                   std::to_string(study.sample->seed) + ", each flown until \"" + study.goal.text() +
                                   "\" or " + limit + " days.";
    const std::string heading = "Dispersion: " + fs::path(study.path).filename().string();
    const fs::path out(outDir);
    if (!writeWhole((out / "dispersion.md").string(), dispersionReport(heading, conditions, outcomes, total), error))
        return false;
    written.push_back("dispersion.md");
    const std::string met = std::to_string(metTimes(outcomes).size()) + " of " + std::to_string(total) + " met";
    if (!writeChart(metTimes(outcomes), total, "time to goal (days)", "Time to goal: " + met,
                    (out / "dispersion-time-to-goal").string(), error) ||
        !writeChart(metPropellant(outcomes), total, "propellant used to the goal (kg)", "Propellant: " + met,
                    (out / "dispersion-propellant").string(), error))
        return false;
    for (const char* name : {"dispersion-time-to-goal.png", "dispersion-time-to-goal.svg", "dispersion-propellant.png",
                             "dispersion-propellant.svg"})
        written.push_back(name);
    return true;
}

}  // namespace zolksim
