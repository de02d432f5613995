#include "sim/output/history_csv.h"

#include <cmath>
#include <cstdio>

namespace zolksim {

namespace {

// A figure with the given decimals; empty when it is not finite.
void add(std::string& line, double value, int decimals) {
    char text[48] = "";
    if (std::isfinite(value)) std::snprintf(text, sizeof text, "%.*f", decimals, value);
    line += ',';
    line += text;
}

}  // namespace

std::string historyCsv(const OrbitHistory& history) {
    std::string out =
        "orbit,full,start_s,end_s,periapsis_km,apoapsis_km,period_min,eccentricity,inclination_deg,"
        "mean_periapsis_km,mean_apoapsis_km,mean_period_min,mean_eccentricity,propellant_kg,burn_s,"
        "delta_v_m_s,delta_v_total_m_s\n";
    for (const OrbitRow& row : history.rows()) {
        std::string line = std::to_string(row.orbit) + (row.full ? ",1" : ",0");
        add(line, row.start, 3);
        add(line, row.end, 3);
        add(line, row.osculating.periapsisKm, 4);
        add(line, row.osculating.apoapsisKm, 4);
        add(line, row.osculating.periodMin, 5);
        add(line, row.osculating.eccentricity, 8);
        add(line, row.inclinationDeg, 6);
        const double unknown = row.full ? 0.0 : NAN;  // a part of an orbit has no mean
        add(line, row.mean.periapsisKm + unknown, 4);
        add(line, row.mean.apoapsisKm + unknown, 4);
        add(line, row.mean.periodMin + unknown, 5);
        add(line, row.mean.eccentricity + unknown, 8);
        add(line, row.propellantKg, 6);
        add(line, row.burnSeconds, 3);
        add(line, row.deltaV, 4);
        add(line, row.deltaVTotal, 4);
        out += line + '\n';
    }
    return out;
}

}  // namespace zolksim
