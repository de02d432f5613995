#include "sim/summary.h"

#include <cmath>
#include <cstdio>

#include "sim/pilot_script.h"

namespace zolksim {

namespace {

std::string format(const char* pattern, double a, double b) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

// km with one decimal, or "open" for an orbit without an apoapsis.
std::string kilometres(double metres) {
    if (!std::isfinite(metres)) return "open";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f km", metres / 1000.0);
    return text;
}

std::string minutes(double seconds) {
    if (!std::isfinite(seconds)) return "open";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f min", seconds / 60.0);
    return text;
}

std::string row(const char* label, const std::string& start, const std::string& end) {
    char text[160];
    std::snprintf(text, sizeof text, "  %-22s %14s  ->  %s\n", label, start.c_str(), end.c_str());
    return text;
}

}  // namespace

double propellantOf(const simhost::Vessel& vessel) {
    double total = 0.0;
    for (const auto& tank : vessel.propellants) total += tank->mass;
    return total;
}

std::string runSummary(const RunFigures& f) {
    std::string out = "Flew " + clockText(f.duration) + " of simulated time in " + std::to_string(f.steps) +
                      " steps of " + format("%g s", f.step, 0.0) +
                      format(": %.2f s of wall time, %.0f steps per second.\n", f.wallSeconds,
                             f.wallSeconds > 0.0 ? static_cast<double>(f.steps) / f.wallSeconds : 0.0);
    out += f.vesselName + (f.bodyName.empty() ? std::string(" (no body to orbit)") : " about " + f.bodyName) + ":\n";
    if (f.hasOrbit) {
        out += row("periapsis altitude", kilometres(f.start.periapsisAltitude), kilometres(f.end.periapsisAltitude));
        out += row("apoapsis altitude", kilometres(f.start.apoapsisAltitude), kilometres(f.end.apoapsisAltitude));
        out += row("orbit period", minutes(f.start.period), minutes(f.end.period));
    }
    out += row("propellant", format("%.3f kg", f.propellantStart, 0.0), format("%.3f kg", f.propellantEnd, 0.0));
    char used[96];
    std::snprintf(used, sizeof used, "  %-22s %14.3f kg\n", "propellant used", f.propellantStart - f.propellantEnd);
    out += used;
    out += "  main engines burned    " + clockText(std::round(f.burnTime)) + " in " + std::to_string(f.burnCount) + " burns\n";
    if (!f.deltaVBefore.empty() || !f.deltaVAfter.empty())
        out += row("shown delta-v", f.deltaVBefore.empty() ? "-" : f.deltaVBefore,
                   f.deltaVAfter.empty() ? "-" : f.deltaVAfter);
    return out;
}

}  // namespace zolksim
