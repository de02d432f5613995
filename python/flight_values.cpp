#include "python/flight_values.h"

#include <algorithm>

#include "sim/sample/sample_plan.h"

namespace zolksim {

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

bool putFlightValues(const std::map<std::string, double>& values, Study& study, FlightDispersion& dispersion,
                     std::string& error) {
    // Drawn as a dispersion draws: one entry per value, fixed at it.
    SamplePlan plan;
    double azimuthDeg = 0.0;
    for (const auto& [name, value] : values) {
        if (name == "pointing_azimuth") {
            azimuthDeg = value;
            continue;
        }
        bool known = false;
        for (int q = 0; q <= static_cast<int>(SampledQuantity::CrossVelocity); ++q) {
            if (name != sampledInfo(static_cast<SampledQuantity>(q)).key) continue;
            known = true;
            plan.entries.push_back({static_cast<SampledQuantity>(q), {DistributionKind::Normal, value, 0.0, value, value}});
        }
        if (!known) {
            error = "unknown value '" + name + "'";
            return false;
        }
    }
    std::sort(plan.entries.begin(), plan.entries.end(),
              [](const SampledEntry& a, const SampledEntry& b) { return a.quantity < b.quantity; });
    SampledCase c = drawCase(plan, 0);
    study.varied = std::move(c.parameters);
    dispersion = c.dispersion;
    dispersion.tiltAzimuthRad = azimuthDeg * kPi / 180.0;
    return true;
}

}  // namespace zolksim
