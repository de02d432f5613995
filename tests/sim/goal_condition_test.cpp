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

// "mean" reads the figures' means over the last full orbit, never the
// osculating ones; the time met is where the figures, linear between the two
// checks, crossed (a mean's figures belong to their orbits' middles).
TEST(GoalCondition, MeanGoalsReadTheMeansAndTheTimeMetIsInterpolated) {
    GoalFigures before, now;
    before.time = 10000;
    now.time = 10010;
    before.apoapsisKm = 4990;
    now.apoapsisKm = 5010;
    before.periapsisKm = now.periapsisKm = 650;
    before.meanApoapsisKm = 4960;
    now.meanApoapsisKm = 5020;
    before.meanPeriapsisKm = now.meanPeriapsisKm = 640.4;
    before.meanTime = 100;
    now.meanTime = 7000;
    now.days = now.time / 86400;
    EXPECT_TRUE(met("apoapsis >= 5000 km", now));
    EXPECT_FALSE(met("mean apoapsis >= 5030 km", now));
    EXPECT_TRUE(met("MEAN periapsis < 641 km", now));
    EXPECT_FALSE(met("mean periapsis < 640 km", now));  // the osculating 650, the mean 640.4 (not metres)
    now.meanApoapsisKm = NAN;  // no full orbit yet
    EXPECT_FALSE(met("mean apoapsis >= 0 km", now));
    now.meanApoapsisKm = 5020;

    auto metTime = [&](const char* text) { return parseGoalCondition(text).condition.metTime(before, now); };
    EXPECT_DOUBLE_EQ(metTime("apoapsis >= 5000 km"), 10005);
    EXPECT_DOUBLE_EQ(metTime("mean apoapsis >= 5000 km"), 100 + 6900 * 40.0 / 60);
    // Both must hold: the later of the two; either: the earlier.
    EXPECT_DOUBLE_EQ(metTime("apoapsis >= 5005 km and mean apoapsis >= 4990 km"), 10007.5);
    EXPECT_DOUBLE_EQ(metTime("apoapsis >= 5005 km or mean apoapsis >= 4990 km"), 3550);
    // A clause that held throughout does not move the time.
    EXPECT_DOUBLE_EQ(metTime("apoapsis >= 5000 km and periapsis < 700 km"), 10005);

    const zolksim::GoalParse refused = parseGoalCondition("mean propellant < 5 kg");
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("expected periapsis, apoapsis, period or eccentricity after 'mean'"),
              std::string::npos)
        << refused.error;
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
