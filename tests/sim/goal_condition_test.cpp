// Goals as --until reads them: comparisons joined by `and` (binding tighter)
// and `or`, each optionally with its quantity's unit.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/goal/goal_condition.h"

namespace {

using zolksim::GoalFigures;
using zolksim::parseGoalCondition;

bool met(const char* text, const GoalFigures& f) {
    const zolksim::GoalParse parse = parseGoalCondition(text);
    EXPECT_TRUE(parse.ok) << text << ": " << parse.error;
    return parse.condition.metBy(f);
}

TEST(GoalCondition, ComparesEachQuantityAndJoinsAndBeforeOr) {
    GoalFigures f;
    f.periapsisKm = 700;
    f.apoapsisKm = 5000;
    f.periodMin = 146.5;
    f.eccentricity = 0.2;
    f.propellantKg = 60;
    f.days = 9.5;
    EXPECT_TRUE(met("apoapsis >= 5000 km", f));
    EXPECT_FALSE(met("apoapsis > 5000", f));
    EXPECT_TRUE(met("periapsis<=700km", f));
    EXPECT_FALSE(met("periapsis < 700 km", f));
    EXPECT_TRUE(met("period > 146 min and eccentricity < 0.25", f));
    EXPECT_FALSE(met("days >= 10 d", f));
    // a or (b and c): true with a; a read as (a or b) and c would be false.
    EXPECT_TRUE(met("propellant <= 60 kg or days >= 200 and eccentricity < 0.1", f));
    EXPECT_FALSE(met("propellant < 60 kg or days >= 9 and eccentricity < 0.1", f));
    // Words in any letter case, as scenario names.
    EXPECT_TRUE(met("APOAPSIS >= 5000 KM And Days < 10 D", f));
    EXPECT_TRUE(met("Periapsis > 800 km OR propellant >= 60 Kg", f));

    f.apoapsisKm = std::nan("");
    EXPECT_FALSE(met("apoapsis < 1e9", f));
}

TEST(GoalCondition, NamesTheWordItCannotRead) {
    const std::pair<const char*, const char*> cases[] = {
        {"apogee >= 5000 km", "cannot read 'apogee'"},
        {"apoapsis => 5000 km", "cannot read '=>'"},
        {"apoapsis >= lots", "cannot read 'lots'"},
        {"apoapsis >= 5000 kg", "cannot read 'kg'"},
        {"apoapsis >= 5000 km nor days > 3", "cannot read 'nor'"},
        {"apoapsis >= 5000 km and", "too few words"},
        {"", "too few words"},
        {"eccentricity < 0.1 km", "cannot read 'km'"},
    };
    for (const auto& [text, said] : cases) {
        const zolksim::GoalParse parse = parseGoalCondition(text);
        EXPECT_FALSE(parse.ok) << text;
        EXPECT_NE(parse.error.find(said), std::string::npos) << text << ": " << parse.error;
    }
}

}  // namespace
