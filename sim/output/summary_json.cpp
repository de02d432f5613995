#include "sim/output/summary_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zolksim {

namespace {

// Writes one object's members in order; numbers as the shortest text that
// reads back as the same double, a figure that is not finite (an open
// orbit's apoapsis) as null.
class JsonObject {
public:
    explicit JsonObject(std::string& out, int indent = 1) : out_(out), indent_(indent) { out_ += "{"; }
    ~JsonObject() {
        out_ += '\n';
        out_.append(2 * static_cast<std::size_t>(indent_ - 1), ' ');
        out_ += '}';
    }
    JsonObject& number(const char* key, double value) {
        name(key);
        if (std::isfinite(value)) {
            char text[32];
            out_.append(text, std::to_chars(text, text + sizeof text, value).ptr);
        } else {
            out_ += "null";
        }
        return *this;
    }
    JsonObject& integer(const char* key, unsigned long long value) {
        name(key);
        out_ += std::to_string(value);
        return *this;
    }
    JsonObject& boolean(const char* key, bool value) {
        name(key);
        out_ += value ? "true" : "false";
        return *this;
    }
    JsonObject& text(const char* key, const std::string& value) {
        name(key);
        quoted(value);
        return *this;
    }
    JsonObject& null(const char* key) {
        name(key);
        out_ += "null";
        return *this;
    }
    // Opens a member object; it closes when the returned object goes.
    JsonObject object(const char* key) {
        name(key);
        return JsonObject(out_, indent_ + 1);
    }

private:
    void name(const char* key) {
        out_ += first_ ? "\n" : ",\n";
        first_ = false;
        out_.append(2 * static_cast<std::size_t>(indent_), ' ');
        quoted(key);
        out_ += ": ";
    }
    void quoted(const std::string& s) {
        out_ += '"';
        for (const char c : s) {
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                out_ += escape;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
    }

    std::string& out_;
    int indent_;
    bool first_ = true;
};

// The page's "10094.17 m/s" as m/s; NaN when not shown.
double shownMetresPerSecond(const std::string& text) {
    if (text.empty()) return NAN;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end != text.c_str() ? value : NAN;
}

}  // namespace

const char* runEndName(RunEnd end) {
    switch (end) {
        case RunEnd::Completed: return "completed";
        case RunEnd::GoalMet: return "goal_met";
        case RunEnd::GoalNotMet: return "goal_not_met";
        case RunEnd::HitBody: return "hit_body";
        case RunEnd::StepTooCoarse: return "step_too_coarse";
    }
    return "completed";
}

std::string summaryJson(const RunFigures& f, const OrbitHistory& history, RunEnd end, int exitStatus) {
    std::string out;
    {
        JsonObject json(out);
        json.text("vessel", f.vesselName).text("body", f.bodyName);
        json.text("exit_reason", runEndName(end)).integer("exit_status", static_cast<unsigned>(exitStatus));
        json.number("flown_s", f.duration).number("step_s", f.step).integer("steps", f.steps);
        json.number("wall_s", f.wallSeconds);
        json.number("end_mjd_tt", f.mjdEnd).text("end_date_tt", calendarText(f.mjdEnd));
        if (f.goal.empty()) {
            json.null("goal");
        } else {
            JsonObject goal = json.object("goal");
            goal.text("condition", f.goal).boolean("met", f.goalMet);
            if (f.goalMet) goal.integer("met_step", f.steps).number("met_s", f.duration).number("crossing_s", f.goalCrossing);
            else goal.null("met_step").null("met_s").null("crossing_s");
        }
        if (f.stopped.empty()) {
            json.null("stopped");
        } else {
            JsonObject stopped = json.object("stopped");
            stopped.text("reason", f.stopped).number("time_s", f.stopTime);
        }
        const double nan = NAN;
        json.number("periapsis_start_km", f.hasOrbit ? f.start.periapsisAltitude / 1000.0 : nan)
            .number("periapsis_end_km", f.hasOrbit ? f.end.periapsisAltitude / 1000.0 : nan)
            .number("apoapsis_start_km", f.hasOrbit ? f.start.apoapsisAltitude / 1000.0 : nan)
            .number("apoapsis_end_km", f.hasOrbit ? f.end.apoapsisAltitude / 1000.0 : nan)
            .number("period_start_min", f.hasOrbit ? f.start.period / 60.0 : nan)
            .number("period_end_min", f.hasOrbit ? f.end.period / 60.0 : nan);
        const OrbitRow* last = history.lastFull();
        json.number("mean_periapsis_last_orbit_km", last ? last->mean.periapsisKm : nan)
            .number("mean_apoapsis_last_orbit_km", last ? last->mean.apoapsisKm : nan)
            .integer("full_orbits", history.fullOrbits());
        json.number("propellant_start_kg", f.propellantStart)
            .number("propellant_end_kg", f.propellantEnd)
            .number("propellant_used_kg", f.propellantStart - f.propellantEnd);
        json.number("burn_s", f.burnTime).integer("burns", f.burnCount);
        json.number("delta_v_used_m_s", history.deltaVTotal())
            .number("shown_delta_v_start_m_s", shownMetresPerSecond(f.deltaVBefore))
            .number("shown_delta_v_end_m_s", shownMetresPerSecond(f.deltaVAfter));
    }
    out += "\n";
    return out;
}

}  // namespace zolksim
