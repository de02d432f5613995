#include "sim/sample/sample_reading.h"

#include <cmath>
#include <toml++/toml.h>

#include "sim/sample/counter_random.h"
#include "sim/sweep/case_setup.h"

namespace zolksim {

namespace {

constexpr SampledInfo kSampled[] = {
    {"thrust", "thrust_N"},
    {"isp", "isp_Ns_per_kg"},
    {"propellant", "propellant_kg"},
    {"dry_mass", "dry_mass_kg"},
    {"periapsis", "periapsis_km"},
    {"apoapsis", "apoapsis_km"},
    {"thrust_error", "thrust_error"},
    {"isp_error", "isp_error"},
    {"pointing", "pointing_deg"},
    {"start_delay", "start_delay_d"},
    {"radial_position", "radial_position_m"},
    {"along_position", "along_position_m"},
    {"cross_position", "cross_position_m"},
    {"radial_velocity", "radial_velocity_m_per_s"},
    {"along_velocity", "along_velocity_m_per_s"},
    {"cross_velocity", "cross_velocity_m_per_s"},
};
constexpr std::size_t kCaseParameters = 6;  // the first kSampled entries, StudyParameter's order
constexpr std::uint64_t kAzimuthSlot = 1000;  // the pointing's azimuth, apart from every quantity's slot
constexpr std::size_t kMaxSampleCases = 10'000'000;
constexpr double kPi = 3.14159265358979323846;

bool readDistribution(const toml::node& node, const std::string& where, Distribution& d, std::string& error) {
    const toml::table* table = node.as_table();
    if (!table) {
        error = where + " must be a table such as { dist = \"normal\", mean = 0, sigma = 0.02 }";
        return false;
    }
    auto number = [&](const char* key, double& value) {
        const toml::node* item = table->get(key);
        if (!item) return true;
        const std::optional<double> x = item->value<double>();
        if (!x || !std::isfinite(*x)) {
            error = where + "." + key + " must be a number";
            return false;
        }
        value = *x;
        return true;
    };
    for (const auto& [key, value] : *table)
        if (key != "dist" && key != "mean" && key != "sigma" && key != "min" && key != "max") {
            error = where + ": unknown key '" + std::string(key.str()) + "' (dist, mean, sigma, min, max)";
            return false;
        }
    const std::optional<std::string> kind = (*table)["dist"].value<std::string>();
    if (kind == "normal") {
        d = {DistributionKind::Normal, 0.0, 0.0, -INFINITY, INFINITY};
        if (!table->contains("mean") || !table->contains("sigma")) {
            error = where + ": a normal distribution needs mean and sigma";
            return false;
        }
    } else if (kind == "uniform") {
        d = {DistributionKind::Uniform, 0.0, 0.0, 0.0, 0.0};
        if (!table->contains("min") || !table->contains("max") || table->contains("mean") || table->contains("sigma")) {
            error = where + ": a uniform distribution needs min and max alone";
            return false;
        }
    } else {
        error = where + ".dist must be \"normal\" or \"uniform\"";
        return false;
    }
    if (!number("mean", d.mean) || !number("sigma", d.sigma) || !number("min", d.min) || !number("max", d.max))
        return false;
    const std::string problem = distributionProblem(d);
    if (!problem.empty()) error = where + ": " + problem;
    return problem.empty();
}

}  // namespace

const SampledInfo& sampledInfo(SampledQuantity quantity) { return kSampled[static_cast<int>(quantity)]; }

SampledCase drawCase(const SamplePlan& plan, std::size_t index) {
    SampledCase c;
    FlightDispersion& d = c.dispersion;
    for (const SampledEntry& entry : plan.entries) {
        const auto slot = static_cast<std::uint64_t>(entry.quantity);
        const double x = quantile(entry.distribution, counterUniform(plan.seed, index, slot));
        c.values.push_back(x);
        if (slot < kCaseParameters) {
            c.parameters.push_back({static_cast<StudyParameter>(slot), {x}});
            c.parameterValues.push_back(x);
            continue;
        }
        switch (entry.quantity) {
            case SampledQuantity::ThrustError: d.thrustFactor = 1.0 + x; break;
            case SampledQuantity::IspError: d.ispFactor = 1.0 + x; break;
            case SampledQuantity::Pointing: {
                const double azimuth = 360.0 * counterUniform(plan.seed, index, kAzimuthSlot);  // deg
                c.values.push_back(azimuth);
                d.tiltRad = x * kPi / 180.0;
                d.tiltAzimuthRad = azimuth * kPi / 180.0;
                break;
            }
            case SampledQuantity::StartDelay: d.startDelayDays = x; break;
            case SampledQuantity::RadialPosition: d.radialM = x; break;
            case SampledQuantity::AlongPosition: d.alongM = x; break;
            case SampledQuantity::CrossPosition: d.crossM = x; break;
            case SampledQuantity::RadialVelocity: d.radialMps = x; break;
            case SampledQuantity::AlongVelocity: d.alongMps = x; break;
            case SampledQuantity::CrossVelocity: d.crossMps = x; break;
            default: break;
        }
    }
    return c;
}

bool applySampledCase(const SamplePlan& plan, std::size_t index, simhost::Vessel& vessel, const simhost::Body& body,
                      std::string& error) {
    const SampledCase c = drawCase(plan, index);
    return applyCase(c.parameters, c.parameterValues, vessel, body, error) &&
           applyDispersion(c.dispersion, vessel, body, error);
}

std::vector<std::string> sampleColumns(const SamplePlan& plan) {
    std::vector<std::string> columns;
    for (const SampledEntry& entry : plan.entries) {
        columns.push_back(sampledInfo(entry.quantity).column);
        if (entry.quantity == SampledQuantity::Pointing) columns.push_back("pointing_azimuth_deg");
    }
    return columns;
}

bool readSamplePlan(const toml::table& table, SamplePlan& plan, std::string& error) {
    plan = {};
    for (const auto& [key, value] : table) {
        if (key == "count" || key == "seed") continue;
        bool known = false;
        for (const SampledInfo& info : kSampled) known = known || key == info.key;
        if (!known) {
            error = "sample: unknown key '" + std::string(key.str()) +
                    "' (count, seed, thrust, isp, propellant, dry_mass, periapsis, apoapsis, thrust_error, "
                    "isp_error, pointing, start_delay, radial_position, along_position, cross_position, "
                    "radial_velocity, along_velocity, cross_velocity)";
            return false;
        }
    }
    const std::optional<std::int64_t> count = table["count"].value<std::int64_t>();
    if (!count || *count < 1 || static_cast<std::uint64_t>(*count) > kMaxSampleCases) {
        error = "sample.count must be a whole number of cases, 1 to 10000000";
        return false;
    }
    const std::optional<std::int64_t> seed = table["seed"].value<std::int64_t>();
    if (!seed || *seed < 0) {
        error = "sample.seed must be given, a whole number of at least 0";
        return false;
    }
    plan.count = static_cast<std::size_t>(*count);
    plan.seed = static_cast<std::uint64_t>(*seed);
    for (std::size_t q = 0; q < std::size(kSampled); ++q) {
        const toml::node* node = table.get(kSampled[q].key);
        if (!node) continue;
        SampledEntry entry{static_cast<SampledQuantity>(q), {}};
        if (!readDistribution(*node, std::string("sample.") + kSampled[q].key, entry.distribution, error)) return false;
        plan.entries.push_back(entry);
    }
    if (plan.entries.empty()) {
        error = "sample: nothing to sample; name a quantity such as thrust_error = { dist = \"normal\", mean = 0, sigma = 0.02 }";
        return false;
    }
    return true;
}

}  // namespace zolksim
