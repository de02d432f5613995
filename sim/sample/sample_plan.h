// A dispersion study's draws: N cases, a seed, and a distribution for each
// quantity sampled: the case parameters a sweep varies, and what a real flight
// disperses (engine errors, pointing, start date, starting state). Case i's
// values depend on (seed, i) alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/sample/distribution.h"
#include "sim/sample/flight_dispersion.h"
#include "sim/sweep/study.h"

namespace zolksim {

// In the order of the columns; each draws on its own counter slot, so adding
// or removing one leaves the others' draws as they were.
enum class SampledQuantity {
    Thrust, Isp, Propellant, DryMass, Periapsis, Apoapsis,  // the case's values, as a sweep's
    ThrustError, IspError,                                  // fractions: 0.02 is 2 % more
    Pointing,                                               // deg the thrust leans, azimuth drawn evenly
    StartDelay,                                             // days
    RadialPosition, AlongPosition, CrossPosition,           // m, orbit frame
    RadialVelocity, AlongVelocity, CrossVelocity,           // m/s, orbit frame
};

struct SampledInfo {
    const char* key;     // in the study file's [sample] table
    const char* column;  // in sweep.csv, with its unit
};
const SampledInfo& sampledInfo(SampledQuantity quantity);

struct SampledEntry {
    SampledQuantity quantity;
    Distribution distribution;
};

struct SamplePlan {
    std::size_t count = 0;
    std::uint64_t seed = 0;
    std::vector<SampledEntry> entries;  // in SampledQuantity order
};

// One case's draws: the values in column order (the pointing's azimuth, deg,
// right after the pointing), and the same split into the case's parameters
// and the flight's dispersion.
struct SampledCase {
    std::vector<double> values;
    std::vector<VariedParameter> parameters;  // one value each
    std::vector<double> parameterValues;
    FlightDispersion dispersion;
};

SampledCase drawCase(const SamplePlan& plan, std::size_t index);

// Case index's draws put into the loaded world: its values, then its
// dispersion. False with the reason in error.
bool applySampledCase(const SamplePlan& plan, std::size_t index, simhost::Vessel& vessel, const simhost::Body& body,
                      std::string& error);

// The columns drawCase's values go in.
std::vector<std::string> sampleColumns(const SamplePlan& plan);

}  // namespace zolksim
