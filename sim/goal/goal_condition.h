// A goal for a flight, such as "apoapsis >= 35786 km" or "propellant <= 50 kg
// or days >= 200": comparisons of the controlled vessel's figures with numbers,
// joined with `and` and `or` (`and` binds tighter). docs/goal-condition.md has
// the grammar.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zolksim {

// The figures a goal can name, in the units it is written in.
enum class GoalQuantity { Periapsis, Apoapsis, Period, Eccentricity, Propellant, Days };

struct GoalFigures {
    double periapsisKm = 0.0;  // altitude above the body's mean radius
    double apoapsisKm = 0.0;   // altitude; infinite on an open orbit
    double periodMin = 0.0;    // infinite on an open orbit
    double eccentricity = 0.0;
    double propellantKg = 0.0;  // left, in all tanks
    double days = 0.0;          // simulated time since the start
    double time = 0.0;          // the same in simulated s: when the figures above hold
    // The orbit figures' time-means over the last full orbit (orbit_history.h);
    // NaN before one has been flown.
    double meanPeriapsisKm = 0.0, meanApoapsisKm = 0.0, meanPeriodMin = 0.0, meanEccentricity = 0.0;
    double meanTime = 0.0;  // simulated s: the middle of that orbit, where its means belong
};

enum class Comparison { Less, LessOrEqual, Greater, GreaterOrEqual };

struct GoalClause {
    GoalQuantity quantity;
    bool mean;  // the quantity's mean over the last full orbit (orbit figures only)
    Comparison comparison;
    double value;  // in the quantity's unit
};

struct GoalParse;
GoalParse parseGoalCondition(std::string_view text);

class GoalCondition {
public:
    // Whether the figures meet the condition. A comparison with NaN is unmet.
    bool metBy(const GoalFigures& figures) const;
    // Whether any clause needs the orbit (else the figures' orbit may be left
    // out), and whether any needs the means over the last full orbit.
    bool needsOrbit() const;
    bool needsMeans() const;
    // When the condition became met, between figures that do not meet it and
    // later ones that do: each figure taken as linear between the times it
    // belongs to (a mean's: the middle of its orbit, so that the answer is
    // where the means' trend crossed), the earliest time at which the clauses
    // so timed make the condition hold. Simulated s; now.time when it cannot
    // be told better.
    double metTime(const GoalFigures& before, const GoalFigures& now) const;
    const std::string& text() const { return text_; }

private:
    friend GoalParse parseGoalCondition(std::string_view text);
    std::string text_;
    // Disjunction of conjunctions: met when every clause of any one group is.
    std::vector<std::vector<GoalClause>> anyOf_;
};

struct GoalParse {
    bool ok = false;
    GoalCondition condition;
    std::string error;  // names the word that could not be read, and what was expected
};

}  // namespace zolksim
