#include "sim/sample/dispersion_report.h"

#include <cstdio>

#include "sim/sample/dispersion_statistics.h"

namespace zolksim {

namespace {

std::string fixed(double x, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, x);
    return text;
}

std::string spreadRow(const std::string& name, const Spread& s, int decimals) {
    if (s.count == 0) return "| " + name + " | | | | | | |\n";
    return "| " + name + " | " + fixed(s.mean, decimals) + " | " + fixed(s.sd, decimals) + " | " +
           fixed(s.p5, decimals) + " | " + fixed(s.p50, decimals) + " | " + fixed(s.p95, decimals) + " | " +
           fixed(s.min, decimals) + " to " + fixed(s.max, decimals) + " |\n";
}

}  // namespace

std::vector<double> metTimes(const std::vector<DispersionOutcome>& outcomes) {
    std::vector<double> values;
    for (const DispersionOutcome& o : outcomes)
        if (o.met) values.push_back(o.timeToGoalDays);
    return values;
}

std::vector<double> metPropellant(const std::vector<DispersionOutcome>& outcomes) {
    std::vector<double> values;
    for (const DispersionOutcome& o : outcomes)
        if (o.met) values.push_back(o.propellantUsedKg);
    return values;
}

std::string dispersionReport(const std::string& heading, const std::string& conditions,
                             const std::vector<DispersionOutcome>& outcomes, std::size_t total) {
    const std::vector<double> times = metTimes(outcomes);
    std::string text = "# " + heading + "\n\n" + conditions + "\n\n";
    text += std::to_string(times.size()) + " of " + std::to_string(total) + " cases met the goal (" +
            fixed(total ? 100.0 * static_cast<double>(times.size()) / static_cast<double>(total) : 0.0, 1) + " %)";
    if (outcomes.size() < total)
        text += "; " + std::to_string(total - outcomes.size()) + " have no row yet and count as not met";
    text += ".\n\nOf the cases that met it (percentiles between the nearest ranks):\n\n";
    text += "| | mean | standard deviation | 5 % | 50 % | 95 % | range |\n|---|---|---|---|---|---|---|\n";
    text += spreadRow("time to goal (d)", spreadOf(times), 4);
    text += spreadRow("propellant used (kg)", spreadOf(metPropellant(outcomes)), 3);
    return text;
}

}  // namespace zolksim
