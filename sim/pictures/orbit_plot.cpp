#include "sim/pictures/orbit_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/physics/physical_constants.h"

namespace zolksim {

namespace {

constexpr double kLeft = 84, kRight = 24, kTop = 48, kBottom = 64;  // margins, px
constexpr Rgb kBackground{0xff, 0xff, 0xff};
constexpr Rgb kAxis{0x33, 0x33, 0x33};
constexpr Rgb kGrid{0xe4, 0xe4, 0xe4};
constexpr Rgb kApoapsis{0x1f, 0x5f, 0xbf};
constexpr Rgb kPeriapsis{0x1a, 0x99, 0x4d};
constexpr Rgb kBurn{0xff, 0x99, 0x33};

std::string tickText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

double tickStep(double range, int count) {
    if (!(range > 0.0) || !std::isfinite(range) || count < 1) return 1.0;
    const double raw = range / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (raw <= m * power) return m * power;
    return 10.0 * power;
}

void drawOrbitPlot(const OrbitTrack& track, const std::string& vesselName, double duration, Canvas& canvas) {
    const double plotW = kPlotWidth - kLeft - kRight, plotH = kPlotHeight - kTop - kBottom;
    canvas.fillRect(0, 0, kPlotWidth, kPlotHeight, kBackground);

    // Time in days, or hours for a run under two days.
    const bool inDays = duration >= 2 * simhost::kSecondsPerDay;
    const double timeUnit = inDays ? simhost::kSecondsPerDay : simhost::kSecondsPerHour;
    const double timeSpan = std::max(duration / timeUnit, 1e-9);
    double top = 1.0;  // km
    for (const OrbitSample& s : track.samples()) {
        if (std::isfinite(s.apoapsisAltitude)) top = std::max(top, s.apoapsisAltitude / 1000.0);
        top = std::max(top, s.periapsisAltitude / 1000.0);
    }
    const double yStep = tickStep(top, 6);
    top = std::ceil(top * 1.04 / yStep) * yStep;
    double bottom = 0.0;
    for (const OrbitSample& s : track.samples()) bottom = std::min(bottom, s.periapsisAltitude / 1000.0);
    bottom = std::floor(bottom / yStep) * yStep;

    const auto px = [&](double time) { return kLeft + plotW * std::clamp(time / timeUnit / timeSpan, 0.0, 1.0); };
    const auto py = [&](double km) { return kTop + plotH * (1.0 - std::clamp((km - bottom) / (top - bottom), 0.0, 1.0)); };

    // Burns, merged where they would overlap on screen.
    double bandStart = -1.0, bandEnd = -1.0;
    const auto flushBand = [&] {
        if (bandStart < 0.0) return;
        const double w = std::max(bandEnd - bandStart, 0.6);
        canvas.fillRect(bandStart, kTop, w, plotH, kBurn, 0.22);
        canvas.fillRect(bandStart, kTop + plotH - 8.0, w, 8.0, kBurn);
    };
    for (const BurnPeriod& burn : track.burns()) {
        const double a = px(burn.start), b = px(burn.end);
        if (bandStart >= 0.0 && a - bandEnd < 0.5) {
            bandEnd = std::max(bandEnd, b);
            continue;
        }
        flushBand();
        bandStart = a;
        bandEnd = b;
    }
    flushBand();

    // Grid and axes.
    const Font tickFont{12.0, 0.0, Anchor::End};
    for (double km = bottom; km <= top + yStep / 2; km += yStep) {
        canvas.line({kLeft, py(km)}, {kLeft + plotW, py(km)}, kGrid, 1.0);
        canvas.text(kLeft - 8, py(km) - 7, tickText(km), kAxis, tickFont);
    }
    const double xStep = tickStep(timeSpan, 10);
    Font timeFont = tickFont;
    timeFont.anchor = Anchor::Middle;
    for (double t = 0.0; t <= timeSpan + xStep / 2; t += xStep) {
        canvas.line({px(t * timeUnit), kTop + plotH}, {px(t * timeUnit), kTop + plotH + 5}, kAxis, 1.0);
        canvas.text(px(t * timeUnit), kTop + plotH + 8, tickText(t), kAxis, timeFont);
    }
    canvas.strokeRect(kLeft, kTop, plotW, plotH, kAxis, 1.0);

    std::vector<Point> apoapsis, periapsis;
    for (const OrbitSample& s : track.samples()) {
        periapsis.push_back({px(s.time), py(s.periapsisAltitude / 1000.0)});
        if (std::isfinite(s.apoapsisAltitude)) apoapsis.push_back({px(s.time), py(s.apoapsisAltitude / 1000.0)});
    }
    canvas.polyline(apoapsis, kApoapsis, 2.0);
    canvas.polyline(periapsis, kPeriapsis, 2.0);

    const Font titleFont{16.0, 0.0, Anchor::Start, true};
    canvas.text(kLeft, 14, vesselName + " about " + track.body().name + ": altitude above the mean radius (km)",
                kAxis, titleFont);
    Font axisFont{13.0, 0.0, Anchor::Middle};
    canvas.text(kLeft + plotW / 2, kPlotHeight - 26, inDays ? "time (days)" : "time (hours)", kAxis, axisFont);

    // Legend, top left inside the plot, where a rising apoapsis has not yet been.
    const Font legendFont{12.0};
    const double lx = kLeft + 16, ly = kTop + 10;
    canvas.fillRect(lx - 8, ly - 4, 150, 62, kBackground, 0.85);
    canvas.line({lx, ly + 7}, {lx + 22, ly + 7}, kApoapsis, 2.0);
    canvas.text(lx + 30, ly, "apoapsis", kAxis, legendFont);
    canvas.line({lx, ly + 25}, {lx + 22, ly + 25}, kPeriapsis, 2.0);
    canvas.text(lx + 30, ly + 18, "periapsis", kAxis, legendFont);
    canvas.fillRect(lx, ly + 38, 22, 10, kBurn);
    canvas.text(lx + 30, ly + 36, "engines burning", kAxis, legendFont);
}

}  // namespace zolksim
