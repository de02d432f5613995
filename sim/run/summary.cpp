#include "sim/run/summary.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "sim/pilot/pilot_script.h"

namespace zolksim {

namespace {

// printf into a string; every line of the summary is short.
template <class... Args>
std::string format(const char* pattern, Args... args) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

// km with one decimal, or "open" for an orbit without an apoapsis.
std::string kilometres(double metres) { return std::isfinite(metres) ? format("%.1f km", metres / 1000.0) : "open"; }

std::string minutes(double seconds) { return std::isfinite(seconds) ? format("%.2f min", seconds / 60.0) : "open"; }

std::string row(const char* label, const std::string& start, const std::string& end) {
    return format("  %-22s %14s  ->  %s\n", label, start.c_str(), end.c_str());
}

}  // namespace

double propellantOf(const simhost::Vessel& vessel) {
    double total = 0.0;
    for (const auto& tank : vessel.propellants) total += tank->mass;
    return total;
}

std::string calendarText(double mjd) {
    using namespace std::chrono;
    constexpr double kUnixEpochMjd = 40587.0;  // 1970-01-01 00:00
    const sys_seconds time{seconds{std::llround((mjd - kUnixEpochMjd) * 86400.0)}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    return format("%04d-%02u-%02u %02ld:%02ld:%02ld", static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<long>(clock.hours().count()),
                  static_cast<long>(clock.minutes().count()), static_cast<long>(clock.seconds().count()));
}

std::string preciseClockText(double seconds) {
    const double tenths = std::round(seconds * 10.0);
    const double whole = std::floor(tenths / 10.0);
    return clockText(whole) + format(".%d", static_cast<int>(tenths - whole * 10.0));
}

std::string runSummary(const RunFigures& f) {
    std::string out;
    if (!f.stopped.empty())
        out += "Stopped at step " + std::to_string(f.steps) + ": " + f.stopped + ", " + clockText(f.stopTime) +
               " after the start, on " + calendarText(f.mjdEnd - (f.duration - f.stopTime) / 86400.0) + " TT.\n";
    if (!f.goal.empty()) {
        out += f.goalMet ? "Goal \"" + f.goal + "\" met at step " + std::to_string(f.steps) + ", " +
                               clockText(f.duration) + " after the start, on " + calendarText(f.mjdEnd) + " TT;\n" +
                               (f.goalOnMeans ? "the orbit means' trend crossed it at " : "it came to hold at ") +
                               preciseClockText(f.goalCrossing) + " (interpolated).\n"
                         : "Goal \"" + f.goal + "\" not met" +
                               (f.stopped.empty() ? " within the limit of " + clockText(f.duration) : std::string()) +
                               ".\n";
    }
    out += "Flew " + clockText(f.duration) + " of simulated time in " + std::to_string(f.steps) +
                      " steps of " + format("%g s", f.step) +
                      format(": %.2f s of wall time, %.0f steps per second.\n", f.wallSeconds,
                             f.wallSeconds > 0.0 ? static_cast<double>(f.steps) / f.wallSeconds : 0.0);
    out += f.vesselName + (f.bodyName.empty() ? std::string(" (no body to orbit)") : " about " + f.bodyName) + ":\n";
    if (f.hasOrbit) {
        out += row("periapsis altitude", kilometres(f.start.periapsisAltitude), kilometres(f.end.periapsisAltitude));
        out += row("apoapsis altitude", kilometres(f.start.apoapsisAltitude), kilometres(f.end.apoapsisAltitude));
        out += row("orbit period", minutes(f.start.period), minutes(f.end.period));
    }
    out += row("propellant", format("%.3f kg", f.propellantStart), format("%.3f kg", f.propellantEnd));
    out += format("  %-22s %14.3f kg\n", "propellant used", f.propellantStart - f.propellantEnd);
    out += "  main engines burned    " + clockText(std::round(f.burnTime)) + " in " + std::to_string(f.burnCount) + " burns\n";
    if (!f.deltaVBefore.empty() || !f.deltaVAfter.empty())
        out += row("shown delta-v", f.deltaVBefore.empty() ? "-" : f.deltaVBefore,
                   f.deltaVAfter.empty() ? "-" : f.deltaVAfter);
    return out;
}

}  // namespace zolksim
