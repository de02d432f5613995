// The spread of a dispersion's outcomes: mean, standard deviation and
// percentiles, and the fraction of cases that met the goal.
#pragma once

#include <cstddef>
#include <vector>

namespace zolksim {

struct Spread {
    std::size_t count = 0;
    double mean = 0.0;
    double sd = 0.0;  // the sample's (divided by count - 1); 0 for one value
    double p5 = 0.0, p50 = 0.0, p95 = 0.0;
    double min = 0.0, max = 0.0;
};

// The p-th percentile (0..100) of sorted values, interpolated linearly
// between the nearest ranks: rank p/100 * (n - 1) counted from 0.
double percentile(const std::vector<double>& sorted, double p);

// All zero for no values.
Spread spreadOf(std::vector<double> values);

}  // namespace zolksim
