// A dispersion's report: how many cases met the goal, and the spread of their
// time to the goal and propellant used, as Markdown.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zolksim {

struct DispersionOutcome {
    bool met = false;
    double timeToGoalDays = 0.0;    // when met
    double propellantUsedKg = 0.0;  // to the goal, or to the limit when not met
};

// The cases found; total is how many the study has (some may lack a row).
// heading names the study; conditions says what was flown (goal, limit, seed).
std::string dispersionReport(const std::string& heading, const std::string& conditions,
                             const std::vector<DispersionOutcome>& outcomes, std::size_t total);

// The outcomes' time to the goal (d) and propellant (kg), of the cases that met.
std::vector<double> metTimes(const std::vector<DispersionOutcome>& outcomes);
std::vector<double> metPropellant(const std::vector<DispersionOutcome>& outcomes);

}  // namespace zolksim
