#include "sim/goal/goal_condition.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "host/world/names.h"

namespace zolksim {

namespace {

struct QuantityName {
    std::string_view word;
    GoalQuantity quantity;
    std::string_view unit;  // the one unit it may be written with; empty: none
};

constexpr QuantityName kQuantities[] = {
    {"periapsis", GoalQuantity::Periapsis, "km"},  {"apoapsis", GoalQuantity::Apoapsis, "km"},
    {"period", GoalQuantity::Period, "min"},       {"eccentricity", GoalQuantity::Eccentricity, ""},
    {"propellant", GoalQuantity::Propellant, "kg"}, {"days", GoalQuantity::Days, "d"},
};

constexpr std::string_view kQuantityList = "periapsis, apoapsis, period, eccentricity, propellant or days";
constexpr std::string_view kMeanQuantityList = "periapsis, apoapsis, period or eccentricity after 'mean'";

bool isOrbitFigure(GoalQuantity q) { return q != GoalQuantity::Propellant && q != GoalQuantity::Days; }

// The condition's words: names, numbers and comparison signs. A sign or a
// number ends a word, so "apoapsis>=5000km" reads as four words.
std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    const auto isSign = [](char c) { return c == '<' || c == '>' || c == '='; };
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto isLetter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; };
    while (i < text.size()) {
        if (isSpace(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        if (isSign(text[i])) {
            while (end < text.size() && isSign(text[end])) ++end;
        } else if (isLetter(text[i])) {
            while (end < text.size() && isLetter(text[end])) ++end;
        } else {
            // A number, or whatever else stands here up to a space, sign or letter
            // (letters may follow an exponent's 'e').
            double value = 0.0;
            const auto [next, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
            if (error == std::errc{} && next > text.data() + i) end = static_cast<std::size_t>(next - text.data());
            else
                while (end < text.size() && !isSpace(text[end]) && !isSign(text[end])) ++end;
        }
        words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

std::optional<Comparison> comparisonOf(std::string_view word) {
    if (word == "<") return Comparison::Less;
    if (word == "<=") return Comparison::LessOrEqual;
    if (word == ">") return Comparison::Greater;
    if (word == ">=") return Comparison::GreaterOrEqual;
    return std::nullopt;
}

std::optional<double> numberOf(std::string_view word) {
    double value = 0.0;
    const auto [next, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || next != word.data() + word.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

double figure(const GoalFigures& f, GoalQuantity q, bool mean) {
    if (mean) switch (q) {
            case GoalQuantity::Periapsis: return f.meanPeriapsisKm;
            case GoalQuantity::Apoapsis: return f.meanApoapsisKm;
            case GoalQuantity::Period: return f.meanPeriodMin;
            case GoalQuantity::Eccentricity: return f.meanEccentricity;
            default: break;
        }
    switch (q) {
        case GoalQuantity::Periapsis: return f.periapsisKm;
        case GoalQuantity::Apoapsis: return f.apoapsisKm;
        case GoalQuantity::Period: return f.periodMin;
        case GoalQuantity::Eccentricity: return f.eccentricity;
        case GoalQuantity::Propellant: return f.propellantKg;
        case GoalQuantity::Days: return f.days;
    }
    return 0.0;
}

bool holds(const GoalClause& c, double x) {
    switch (c.comparison) {
        case Comparison::Less: return x < c.value;
        case Comparison::LessOrEqual: return x <= c.value;
        case Comparison::Greater: return x > c.value;
        case Comparison::GreaterOrEqual: return x >= c.value;
    }
    return false;
}

bool holds(const GoalClause& c, const GoalFigures& f) { return holds(c, figure(f, c.quantity, c.mean)); }

double timeOf(const GoalFigures& f, const GoalClause& c) { return c.mean ? f.meanTime : f.time; }

// When a clause holds, its figure taken as linear between before and now:
// from `from` on (or before it, when `until`). A clause that holds at both
// ends, or at neither, or whose crossing cannot be placed, is taken to hold
// as it does now, from its present figure's time.
struct ClauseSpan {
    double from;
    bool until;  // holds before `from` instead of after it
};

ClauseSpan spanOf(const GoalClause& c, const GoalFigures& before, const GoalFigures& now) {
    const double x0 = figure(before, c.quantity, c.mean), x1 = figure(now, c.quantity, c.mean);
    const double t0 = timeOf(before, c), t1 = timeOf(now, c);
    const bool h0 = holds(c, x0), h1 = holds(c, x1);
    if (h0 == h1 || !std::isfinite(x0) || !std::isfinite(x1) || !(t1 > t0)) return {h1 ? -INFINITY : INFINITY, false};
    return {t0 + (c.value - x0) / (x1 - x0) * (t1 - t0), h0};
}

}  // namespace

bool GoalCondition::metBy(const GoalFigures& figures) const {
    return std::any_of(anyOf_.begin(), anyOf_.end(), [&](const std::vector<GoalClause>& all) {
        return std::all_of(all.begin(), all.end(), [&](const GoalClause& c) { return holds(c, figures); });
    });
}

double GoalCondition::metTime(const GoalFigures& before, const GoalFigures& now) const {
    // Each group holds from the latest of its clauses' starts (a clause that
    // holds only until some time ends it); the condition from its earliest group.
    double best = now.time;
    for (const auto& all : anyOf_) {
        double from = -INFINITY, until = INFINITY;
        for (const GoalClause& c : all) {
            const ClauseSpan span = spanOf(c, before, now);
            if (span.until) until = std::min(until, span.from);
            else from = std::max(from, span.from);
        }
        if (std::isfinite(from) && from < until) best = std::min(best, from);
    }
    return best;
}

bool GoalCondition::needsOrbit() const {
    for (const auto& all : anyOf_)
        for (const GoalClause& c : all)
            if (isOrbitFigure(c.quantity)) return true;
    return false;
}

bool GoalCondition::needsMeans() const {
    for (const auto& all : anyOf_)
        for (const GoalClause& c : all)
            if (c.mean) return true;
    return false;
}

GoalParse parseGoalCondition(std::string_view text) {
    GoalParse parse;
    const std::vector<std::string_view> words = wordsOf(text);
    std::size_t i = 0;
    // (Appended piece by piece: GCC 12 warns falsely about "literal" + string.)
    const auto refuse = [&](std::string_view expected) {
        std::string& e = parse.error;
        if (i < words.size()) e.append("cannot read '").append(words[i]).append("' in");
        else e.append("too few words in");
        e.append(" the condition \"").append(text).append("\": expected ").append(expected);
        return parse;
    };

    parse.condition.anyOf_.emplace_back();
    while (true) {
        const bool mean = i < words.size() && simhost::sameName(words[i], "mean");
        if (mean) ++i;
        const QuantityName* name = nullptr;
        if (i < words.size())
            for (const QuantityName& q : kQuantities)
                if (simhost::sameName(words[i], q.word) && (!mean || isOrbitFigure(q.quantity))) name = &q;
        if (!name) return refuse(mean ? kMeanQuantityList : kQuantityList);
        ++i;
        const std::optional<Comparison> comparison = i < words.size() ? comparisonOf(words[i]) : std::nullopt;
        if (!comparison) return refuse("<, <=, > or >=");
        ++i;
        const std::optional<double> value = i < words.size() ? numberOf(words[i]) : std::nullopt;
        if (!value) return refuse("a number");
        ++i;
        if (i < words.size() && !name->unit.empty() && simhost::sameName(words[i], name->unit)) ++i;
        parse.condition.anyOf_.back().push_back({name->quantity, mean, *comparison, *value});

        if (i == words.size()) break;
        if (simhost::sameName(words[i], "or")) parse.condition.anyOf_.emplace_back();
        else if (!simhost::sameName(words[i], "and"))
            return refuse(name->unit.empty() ? std::string("'and' or 'or'")
                                             : std::string("'").append(name->unit).append("', 'and' or 'or'"));
        ++i;
    }
    parse.condition.text_ = std::string(text);
    parse.ok = true;
    return parse;
}

}  // namespace zolksim
