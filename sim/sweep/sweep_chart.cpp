#include "sim/sweep/sweep_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "sim/pictures/orbit_plot.h"

namespace zolksim {

namespace {

constexpr double kLeft = 84, kRight = 150, kTop = 48, kBottom = 64;  // margins, px
constexpr Rgb kBackground{0xff, 0xff, 0xff};
constexpr Rgb kAxis{0x33, 0x33, 0x33};
constexpr Rgb kGrid{0xe4, 0xe4, 0xe4};
constexpr Rgb kLine{0x1f, 0x5f, 0xbf};
constexpr Rgb kUnmet{0xcc, 0x22, 0x22};
constexpr Rgb kUnmetCell{0xd0, 0xd0, 0xd0};
// A perceptually even ramp from dark blue (least) to yellow (most).
constexpr Rgb kRamp[] = {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}};

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

Rgb rampColour(double share) {
    const double x = std::clamp(share, 0.0, 1.0) * (std::size(kRamp) - 1);
    const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(x), std::size(kRamp) - 2);
    const double f = x - static_cast<double>(i);
    const auto mix = [f](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(std::lround(a + (b - a) * f)); };
    return {mix(kRamp[i].r, kRamp[i + 1].r), mix(kRamp[i].g, kRamp[i + 1].g), mix(kRamp[i].b, kRamp[i + 1].b)};
}

// A case short of the goal has no time to goal, and what it used by the limit
// does not compare with the others: it has no value.
std::optional<double> measureOf(const SweepRow& row, SweepMeasure measure) {
    if (!row.met) return std::nullopt;
    return measure == SweepMeasure::Propellant ? row.propellantUsedKg : row.timeToGoalDays;
}

const char* measureLabel(SweepMeasure measure) {
    return measure == SweepMeasure::TimeToGoal ? "time to goal (days)" : "propellant used (kg)";
}

void drawLineChart(const Study& study, const std::map<std::size_t, SweepRow>& rows, SweepMeasure measure,
                   Canvas& canvas) {
    const double plotW = kPlotWidth - kLeft - kRight, plotH = kPlotHeight - kTop - kBottom;
    const std::vector<double>& xs = study.varied[0].values;
    double xMin = *std::min_element(xs.begin(), xs.end()), xMax = *std::max_element(xs.begin(), xs.end());
    if (xMax <= xMin) xMin -= 1, xMax += 1;
    double top = 0.0;
    for (const auto& [index, row] : rows)
        top = std::max(top, measure == SweepMeasure::Propellant ? row.propellantUsedKg : measureOf(row, measure).value_or(0.0));
    const double yStep = tickStep(top > 0 ? top : 1.0, 6);
    top = std::ceil((top > 0 ? top : 1.0) * 1.04 / yStep) * yStep;
    const auto px = [&](double x) { return kLeft + plotW * (x - xMin) / (xMax - xMin); };
    const auto py = [&](double y) { return kTop + plotH * (1.0 - std::clamp(y / top, 0.0, 1.0)); };

    const Font tickFont{12.0, 0.0, Anchor::End};
    for (double y = 0; y <= top + yStep / 2; y += yStep) {
        canvas.line({kLeft, py(y)}, {kLeft + plotW, py(y)}, kGrid, 1.0);
        canvas.text(kLeft - 8, py(y) - 7, shortNumber(y), kAxis, tickFont);
    }
    Font xFont = tickFont;
    xFont.anchor = Anchor::Middle;
    const double xStep = tickStep(xMax - xMin, 8);
    for (double x = std::ceil(xMin / xStep) * xStep; x <= xMax + xStep / 1e6; x += xStep) {
        canvas.line({px(x), kTop + plotH}, {px(x), kTop + plotH + 5}, kAxis, 1.0);
        canvas.text(px(x), kTop + plotH + 8, shortNumber(x), kAxis, xFont);
    }
    canvas.strokeRect(kLeft, kTop, plotW, plotH, kAxis, 1.0);

    std::vector<std::pair<double, double>> points;
    bool anyUnmet = false;
    for (const auto& [index, row] : rows) {
        if (row.met) {
            points.emplace_back(row.values[0], *measureOf(row, measure));
            continue;
        }
        // A case short of the goal: a cross at what it used by the limit, or
        // on the top edge when it has no time to goal.
        const double x = px(row.values[0]);
        const double y = measure == SweepMeasure::Propellant ? py(row.propellantUsedKg) : kTop;
        canvas.line({x - 5, y - 5}, {x + 5, y + 5}, kUnmet, 2.0);
        canvas.line({x - 5, y + 5}, {x + 5, y - 5}, kUnmet, 2.0);
        anyUnmet = true;
    }
    std::sort(points.begin(), points.end());
    std::vector<Point> line;
    for (const auto& [x, y] : points) line.push_back({px(x), py(y)});
    canvas.polyline(line, kLine, 2.0);
    for (const Point& p : line) canvas.fillRect(p.x - 3.5, p.y - 3.5, 7, 7, kLine);

    const Font legendFont{12.0};
    if (anyUnmet) {
        const double lx = kLeft + plotW + 14;
        canvas.line({lx, kTop + 2}, {lx + 10, kTop + 12}, kUnmet, 2.0);
        canvas.line({lx, kTop + 12}, {lx + 10, kTop + 2}, kUnmet, 2.0);
        canvas.text(lx + 16, kTop, "goal not met", kAxis, legendFont);
        canvas.text(lx + 16, kTop + 16, "by the limit", kAxis, legendFont);
    }
    Font axisFont{13.0, 0.0, Anchor::Middle};
    canvas.text(kLeft + plotW / 2, kPlotHeight - 26, parameterInfo(study.varied[0].parameter).label, kAxis, axisFont);
}

void drawHeatMap(const Study& study, const std::map<std::size_t, SweepRow>& rows, SweepMeasure measure,
                 Canvas& canvas) {
    const double plotW = kPlotWidth - kLeft - kRight, plotH = kPlotHeight - kTop - kBottom;
    const std::size_t columns = study.varied[0].values.size(), lines = study.varied[1].values.size();
    const double cellW = plotW / static_cast<double>(columns), cellH = plotH / static_cast<double>(lines);
    double least = INFINITY, most = -INFINITY;
    for (const auto& [index, row] : rows)
        if (const auto y = measureOf(row, measure)) least = std::min(least, *y), most = std::max(most, *y);
    const auto share = [&](double y) { return most > least ? (y - least) / (most - least) : 0.5; };

    // Case index = column * lines + line; the second parameter rises upwards.
    const Font cellFont{12.0, 0.0, Anchor::Middle};
    const bool labelled = cellW >= 44 && cellH >= 18;
    for (const auto& [index, row] : rows) {
        const double x = kLeft + cellW * static_cast<double>(index / lines);
        const double y = kTop + cellH * static_cast<double>(lines - 1 - index % lines);
        const std::optional<double> value = measureOf(row, measure);
        const Rgb colour = value ? rampColour(share(*value)) : kUnmetCell;
        canvas.fillRect(x, y, cellW + 0.5, cellH + 0.5, colour);  // overlapping: no seams
        if (!labelled) continue;
        const bool dark = value && 0.299 * colour.r + 0.587 * colour.g + 0.114 * colour.b < 140;
        canvas.text(x + cellW / 2, y + cellH / 2 - 7, value ? shortNumber(*value) : "not met",
                    dark ? kBackground : kAxis, cellFont);
    }
    canvas.strokeRect(kLeft, kTop, plotW, plotH, kAxis, 1.0);

    // Each column and line labelled with its value, as many as fit.
    const Font xFont{12.0, 0.0, Anchor::Middle}, yFont{12.0, 0.0, Anchor::End};
    const std::size_t xEvery = static_cast<std::size_t>(std::ceil(60.0 / cellW)), yEvery = static_cast<std::size_t>(std::ceil(18.0 / cellH));
    for (std::size_t c = 0; c < columns; c += xEvery)
        canvas.text(kLeft + cellW * (static_cast<double>(c) + 0.5), kTop + plotH + 8,
                    shortNumber(study.varied[0].values[c]), kAxis, xFont);
    for (std::size_t l = 0; l < lines; l += yEvery)
        canvas.text(kLeft - 8, kTop + cellH * (static_cast<double>(lines - l) - 0.5) - 7,
                    shortNumber(study.varied[1].values[l]), kAxis, yFont);
    const Font axisFont{13.0, 0.0, Anchor::Middle};
    canvas.text(kLeft + plotW / 2, kPlotHeight - 38,
                std::string("across: ") + parameterInfo(study.varied[0].parameter).label, kAxis, axisFont);
    canvas.text(kLeft + plotW / 2, kPlotHeight - 20,
                std::string("up: ") + parameterInfo(study.varied[1].parameter).label, kAxis, axisFont);

    // The colour bar, least at the bottom.
    const double barX = kLeft + plotW + 24, barW = 18;
    constexpr int kSlices = 64;
    for (int i = 0; i < kSlices; ++i)
        canvas.fillRect(barX, kTop + plotH * (1.0 - (i + 1.0) / kSlices), barW, plotH / kSlices + 0.5,
                        rampColour((i + 0.5) / kSlices));
    canvas.strokeRect(barX, kTop, barW, plotH, kAxis, 1.0);
    if (least <= most) {
        canvas.text(barX + barW + 6, kTop - 7, shortNumber(most), kAxis, Font{12.0});
        canvas.text(barX + barW + 6, kTop + plotH - 7, shortNumber(least), kAxis, Font{12.0});
    }
    if (std::any_of(rows.begin(), rows.end(), [&](const auto& r) { return !measureOf(r.second, measure); })) {
        canvas.fillRect(barX, kTop + plotH + 14, barW, 12, kUnmetCell);
        canvas.text(barX + barW + 6, kTop + plotH + 13, "not met", kAxis, Font{12.0});
    }
}

}  // namespace

bool sweepChartable(const Study& study) { return study.varied.size() == 1 || study.varied.size() == 2; }

void drawSweepChart(const Study& study, const std::map<std::size_t, SweepRow>& rows, SweepMeasure measure,
                    Canvas& canvas) {
    canvas.fillRect(0, 0, kPlotWidth, kPlotHeight, kBackground);
    if (study.varied.size() == 1) drawLineChart(study, rows, measure, canvas);
    else drawHeatMap(study, rows, measure, canvas);
    const Font titleFont{16.0, 0.0, Anchor::Start, true};
    canvas.text(kLeft, 14, std::string(measureLabel(measure)) + " until " + study.goal.text(), kAxis, titleFont);
}

}  // namespace zolksim
