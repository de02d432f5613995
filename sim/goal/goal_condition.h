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
};

enum class Comparison { Less, LessOrEqual, Greater, GreaterOrEqual };

struct GoalClause {
    GoalQuantity quantity;
    Comparison comparison;
    double value;  // in the quantity's unit
};

struct GoalParse;
GoalParse parseGoalCondition(std::string_view text);

class GoalCondition {
public:
    // Whether the figures meet the condition. A comparison with NaN is unmet.
    bool metBy(const GoalFigures& figures) const;
    // Whether any clause needs the orbit (else the figures' orbit may be left out).
    bool needsOrbit() const;
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
